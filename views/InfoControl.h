#pragma once

#include "gui/BitmapFont.h"
#include "gui/ITextControl.h"

#include <string>
#include <vector>

// The preset information box: a translucent dark blue panel with a white
// outline over the editor that shows the current preset's name, author,
// description and usage in a bitmap font, or "NO INFO" when all four are
// blank. It sizes itself to its text: the first paint after a change only
// measures (and moves its bottom edge), the next one draws. While visible it
// takes every mouse press of the editor (the plug-in's mouse-capture answer),
// and the wheel and the keys as presses; a press closes it.
//
// Threads: the editor's thread. Lifetime: owned by the editor; the font
// belongs to the plug-in and outlives it. Non-copyable.
class InfoControl : public ITextControl
{
public:
    static constexpr int kInset = 5;

    // font may be null (nothing is drawn or measured).
    InfoControl(IEffectBase* plug, const IRectangle& rect, BitmapFont* font);

    // A press anywhere closes (or opens) the box.
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& modifiers) override;
    // Measures (first paint after a change) or draws the box and its lines.
    bool Paint(IGraphics* graphics) override;

    // Builds the lines from the four texts (see FormatPresetInfo), forgets the
    // measured height and toggles the box's visibility.
    void ShowPresetInfo(const char* name, const char* author, const char* description, const char* usage);
    void SetLines(std::vector<BitmapTextLine> lines);
    const std::vector<BitmapTextLine>& GetLines() const { return lines_; }
    void SetTexts(std::string name, std::string author, std::string description, std::string usage);
    const std::string& GetText(int i) const { return texts_[static_cast<size_t>(i & 3)]; }
    // -1 until measured.
    int GetMeasuredHeight() const { return measuredHeight_; }
    void ForgetMeasuredHeight() { measuredHeight_ = -1; }
    BitmapFont* GetFont() const { return font_; }

private:
    std::vector<BitmapTextLine> lines_;
    BitmapFont* font_;
    std::string texts_[4];
    int measuredHeight_ = -1;
};

// The box's lines for a preset: with any of the four texts (trimmed of white
// space at both ends) not empty, the headings "NAME:", "AUTHOR:",
// "DESCRIPTION:" and "USAGE:", each followed by its (possibly empty) text,
// indented; with all four empty, one "NO INFO" line centred both ways.
// Paragraphs are wrapped to the box's rectangle inset by 5 pixels.
void FormatPresetInfo(InfoControl& box, const char* name, const char* author, const char* description,
                      const char* usage);
