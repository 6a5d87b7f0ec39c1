// The skin layout: the editor's rectangles in the order the skin text gives them. Controls take
// their rectangle by position; the names in the skin text are not kept.
//
// Skin text: lines separated by line feeds (a carriage return before the feed is ignored).
//   - A line containing "/" anywhere is a comment or the name of the rectangle that follows; skipped.
//   - Any other line is split into fields at runs of blanks (spaces and tabs); a line with fewer
//     than two fields is skipped. Fields 1 and 2 are left and top; fields 3 and 4 right and bottom,
//     both 0 when the line has fewer than four fields. Numbers convert as TextToInt does.
//   - A line of exactly five fields repeats the rectangle side by side: the fifth field is a count
//     N, and rectangle k (0..N-1) is moved right by k times its width. N <= 0 gives none; N above
//     kMaxSkinRepeat gives kMaxSkinRepeat; coordinates beyond the int range saturate.
//   - Any other line gives one rectangle.
#pragma once

#include "gui/IRectangle.h"
#include "plugin/TextResource.h"

#include <string_view>
#include <vector>

class IGraphics;

// The most rectangles one repeating skin line gives (the editor's widest row has 32).
inline constexpr int kMaxSkinRepeat = 1024;

class SkinLayout
{
public:
    // The number of rectangles.
    int Size() const { return static_cast<int>(rectangles_.size()); }
    bool IsEmpty() const { return rectangles_.empty(); }

    // The rectangle at position, or null outside 0..Size()-1.
    const IRectangle* Get(int position) const;
    // The rectangle at position, or the empty rectangle outside 0..Size()-1.
    IRectangle At(int position) const;

    const std::vector<IRectangle>& Rectangles() const { return rectangles_; }

    void Append(const IRectangle& rectangle) { rectangles_.push_back(rectangle); }
    void Clear() { rectangles_.clear(); }

private:
    std::vector<IRectangle> rectangles_;
};

// Appends the rectangles skin text gives (format above) to layout.
void AppendSkinText(SkinLayout* layout, std::string_view text);

// Reads the skin text resource (kSkinTextResourceId) through load. When the resource is found,
// layout becomes exactly the rectangles its text gives and the result is true; when it is missing
// (or layout is null) the result is false and layout is left as it was. Called once by the
// plug-in's constructor; no lock needed (the layout is read-only afterwards).
bool ReadSkinLayout(SkinLayout* layout, const TextResourceLoader& load);
// The same through the editor object's text-resource loader; false for a null graphics.
bool ReadSkinLayout(SkinLayout* layout, IGraphics* graphics);
