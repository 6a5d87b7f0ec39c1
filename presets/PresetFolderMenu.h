// PresetFolderMenu: the menu of one preset box: the preset files found in the "Factory" and "User"
// folders below the box's root folder, each sub-folder a submenu.
//
// Root entries, in order: "Init" (only with the has-Init flag; id 1), a separator, "Factory" and
// "User" with their submenus. Each folder's menu lists its sub-folders first, then its files, each
// group in name order without regard to case (a file by the name it shows). File entries get ids
// from 1000 on, in the order they are added (a depth-first scan, Factory before User, then saved
// files), and are selectable: the root menu's flat list, which the previous and next buttons step
// through, holds them in the order the menus show them, saved files too. A file entry's text is
// the file's base name; the menu keeps its full path.
//
// Not thread-safe: the preset box guards its menu. Owns its root menu. Non-copyable.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "presets/VisitedFolders.h"

class IPopupMenu;
class IPopupMenuEntry;
class IStateChunk;
class IndexChangedListener;

class PresetFolderMenu
{
public:
    static constexpr int32_t kFirstFileId = 1000;
    static constexpr int32_t kInitId = 1;
    // Sub-folders deeper than this are not listed.
    static constexpr int kMaxFolderDepth = 16;

    // rootFolder: the box's data folder with a trailing '/' ("" when there is none: the submenus
    // stay empty). Scans rootFolder + "Factory" and rootFolder + "User", creating missing folders.
    // A file is listed when "." + its extension equals streamExtension or compressedExtension (an
    // empty extension matches nothing). listener receives the saves.
    PresetFolderMenu(const std::string& rootFolder, const std::string& streamExtension,
                     const std::string& compressedExtension, bool hasInit, IndexChangedListener* listener);
    ~PresetFolderMenu();
    PresetFolderMenu(const PresetFolderMenu&) = delete;
    PresetFolderMenu& operator=(const PresetFolderMenu&) = delete;

    // Lists folder into submenu: sub-folders (depth first) as submenus named after them, matching
    // files as file entries; sub-folders first, each group in name order. A missing folder is created (with
    // its parents) and leaves the submenu empty. File-system errors leave the affected folder empty. Folder
    // links are followed, but every folder is listed once in the menu's life (by device and inode): a folder
    // already listed, through a link or under its own name, is left out, so links that loop end at once.
    void ScanFolder(const std::string& folder, IPopupMenu* submenu);

    // Saves a file into the user folder: the name is vetted (IsValidPresetName); the path is
    // root + "User/" + (category name + "/" when category >= 0) + name + the compressed extension
    // (boxes with "Init") or the stream extension. The category folder is created when missing.
    // The listener writes the file (compressed, or raw through a stream). A file entry is added
    // under User (and the category's submenu, made when missing), each in its place in name order,
    // unless one for the path exists. Returns that entry, or null when the file could not be
    // written (the menu is then unchanged).
    IPopupMenuEntry* SaveToUserFolder(const std::string& name, int category, const IStateChunk* chunk);

    IPopupMenu* GetRootMenu() const { return root_.get(); }
    IPopupMenu* GetFactoryMenu() const { return factory_; }
    IPopupMenu* GetUserMenu() const { return user_; }
    const std::string& GetRootFolder() const { return rootFolder_; }
    bool HasInit() const { return hasInit_; }
    // The full path of a file entry; "" for any other entry (and null).
    std::string PathOf(const IPopupMenuEntry* entry) const;
    // The file entry of path; null when none.
    IPopupMenuEntry* FindEntryByPath(const std::string& path) const;
    // The text of the entry chosen last ("" when none).
    const std::string& GetChosenName() const { return chosenName_; }
    void SetChosenName(const std::string& name) { chosenName_ = name; }
    uint32_t GetNextEntryId() const { return nextEntryId_; }

private:
    // Entries go at index of their menu (-1: at its end).
    IPopupMenuEntry* AddFileEntry(IPopupMenu* submenu, const std::string& text, const std::string& path,
                                  int index = -1);
    IPopupMenu* AddFolderEntry(IPopupMenu* menu, const std::string& text, int index = -1);
    bool IsListedExtension(const std::string& extension) const;
    // ScanFolder's walk below an entered folder.
    void ListFolder(const std::string& folder, IPopupMenu* submenu, int depth);

    uint32_t nextEntryId_ = kFirstFileId;
    std::string rootFolder_;
    std::string streamExtension_;
    std::string compressedExtension_;
    bool hasInit_;
    std::unique_ptr<IPopupMenu> root_;
    IPopupMenu* factory_ = nullptr;
    IPopupMenu* user_ = nullptr;
    IndexChangedListener* listener_;
    std::string chosenName_;
    std::map<const IPopupMenuEntry*, std::string> paths_;
    VisitedFolders listed_;
};
