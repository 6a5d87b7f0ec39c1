// CommonPresetHandler: the base of the two preset boxes: a text box that shows the name of what
// was loaded last ("------" at first) and, when pressed, pops up its folder menu. Choosing a file
// entry shows its name and opens the file; the previous and next buttons step through the files.
//
// Threads: the editor's thread, except that the shown text may also be changed from the preset
// loader's thread and from the audio thread (the control zone's previous/next preset), so it is
// kept under its own lock; the folder menu and its chosen entry are guarded by a second lock,
// which the audio thread only ever tries (see PresetHandler::LoadNextPreset). Lock order: the
// menu lock, then the plug-in's lock.
// Lifetime: made by the plug-in's constructor, owned by the editor object. Non-copyable.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "gui/ITextControl.h"
#include "presets/IndexChangedListener.h"
#include "presets/PresetFolderMenu.h"

class IPopupMenuEntry;
class BitmapFont;
class PresetHost;

class CommonPresetHandler : public ITextControl, public IndexChangedListener
{
public:
    static constexpr const char* kNoNameText = "------";

    // font: the bitmap font the box draws with (not owned); null draws with the text style through
    // the editor's system font.
    // streamExtension and compressedExtension (".t2" / ".t2z", ".cmb" / "") decide which files the
    // menu lists and how a chosen file is read.
    CommonPresetHandler(PresetHost* host, BitmapFont* font, const IRectangle& rect,
                        const std::string& streamExtension, const std::string& compressedExtension);
    ~CommonPresetHandler() override;

    // Builds the folder menu over the data folder's rootSubFolder ("presets",
    // "presets/chordmemory"); see PresetFolderMenu.
    void CreateFolderMenu(const std::string& rootSubFolder, bool hasInit);

    // The entry with root's chosen id (searched through the whole tree) is taken as by
    // TakeMenuItem; an id without entry gives the empty name and loads nothing.
    void TakeChosenItem(IPopupMenu* root, bool load);
    // entry's text (empty for null) becomes the menu's chosen name and goes to OnNameChosen; with
    // load, a file entry's file is opened (OpenChosenFile).
    void TakeMenuItem(IPopupMenuEntry* entry, bool load);
    // Reads a chosen file: a ".cmb" file through ReadFromStream at once; a file with the compressed
    // extension (or a plain preset file with the stream extension) through LoadFile with its size.
    // False when the file cannot be opened or matches neither rule.
    bool OpenChosenFile(const std::string& path, const std::string& name);

    // A non-empty text becomes the shown text; an empty one changes nothing.
    void SetShownName(const std::string& text);
    // Replaces the shown text; when it differs the box is repainted and, since the state carries
    // it, an edit is noted (PresetHost::NoteEditorEdit). Any thread (use this, not
    // ITextControl::ChangeText, which is for the editor's thread alone).
    void ChangeText(const std::string& text);
    // A copy of the shown text. Any thread.
    std::string GetShownText() const;

    // The menu (null before CreateFolderMenu).
    PresetFolderMenu* GetFolderMenu() const { return menu_.get(); }
    PresetHost* GetHost() const { return host_; }
    const std::string& GetStreamExtension() const { return streamExtension_; }
    const std::string& GetCompressedExtension() const { return compressedExtension_; }

    // ---- IControl ---------------------------------------------------------------------------------
    // A left press pops up the root menu at the box's left and bottom edges and asks for a repaint;
    // when an entry was chosen (not when the menu was dismissed), OnPopupMenuChosen follows. A right
    // press opens the box's save dialog instead.
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    // The shown text, left-aligned in the box (the font's alignment flag is put back afterwards);
    // true.
    bool Paint(IGraphics* graphics) override;

    // Opens the box's "Save preset" dialog; returns the dialog's result. Base: nothing (0).
    virtual int OpenSaveDialog() { return 0; }

    // IndexChangedListener::WriteCompressedFile for both boxes: the chunk as one gzip stream.
    bool WriteCompressedFile(const std::string& path, const IStateChunk* chunk) override;

protected:
    // Steps the root menu's chosen file forward or back (wrapping) and takes the entry found.
    void StepChosenItem(bool forward);
    // A file just saved (its menu entry) becomes the chosen entry: the box shows its name and the
    // previous and next buttons step from it. Nothing for null.
    void TakeSavedItem(IPopupMenuEntry* entry);
    // The same, but gives up at once when the menu is busy on another thread (the audio thread must
    // not wait for an open menu); false then.
    bool TryStepChosenItem(bool forward);

    PresetHost* host_;
    BitmapFont* font_;
    std::unique_ptr<PresetFolderMenu> menu_;
    std::string streamExtension_;
    std::string compressedExtension_;
    mutable std::recursive_mutex menuMutex_;

private:
    mutable std::mutex textMutex_;
};
