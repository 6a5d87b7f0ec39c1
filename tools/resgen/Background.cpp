// The editor's background: the dark panel the controls sit on, with section panels, captions,
// value wells, the step-grid well, the keyboard and the scene strip. Positions come from the
// skin layout, so the captions and wells follow the rectangles the controls are built on.
#include "tools/resgen/ImageCatalog.h"
#include "tools/resgen/SkinLayout.h"

#include <string>

namespace
{
using namespace palette;

// Room left of a name drawn left-aligned from its rectangle's edge.
constexpr int kNameInset = 5;

struct Caption
{
    const char* text;
    int position; // skin position the caption is centred over
};

void DrawPanel(ImageCanvas& c, const ArtKit& kit, RasterRect r, const char* title)
{
    Shape outer = RoundedBox(r.left, r.top, r.right, r.bottom, 6.0);
    Shape inner = RoundedBox(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, 5.0);
    c.Fill(outer, kPanelBorder);
    c.FillGradient(inner, kPanelTop, kPanelBottom, r.top, r.bottom);
    c.Fill(Intersect(inner, RoundedBox(r.left, r.top + 1, r.right, r.top + 2, 0)), kPanelHighlight);
    if (title)
    {
        c.Fill(RoundedBox(r.left + 9, r.top + 6, r.left + 12, r.top + 16, 1.0), kAccent);
        c.Text(kit.title, title, r.left + 17, r.top + 15, kTitle);
    }
}

// A recessed field for a value, a name or a status text.
void DrawWell(ImageCanvas& c, RasterRect r, double radius = 3.0)
{
    c.Fill(RoundedBox(r.left, r.top, r.right, r.bottom, radius), kWellBorder);
    c.Fill(RoundedBox(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, radius - 1.0), kWell);
    c.Fill(RoundedBox(r.left + 1, r.top + 1, r.right - 1, r.top + 2, 0), Rgb(0, 0, 0), 0.5f);
}

int CentreX(RasterRect r)
{
    return (r.left + r.right) / 2;
}

void DrawCaptions(ImageCanvas& c, const ArtKit& kit, const std::vector<Caption>& captions, int baseline)
{
    for (const Caption& caption : captions)
        c.Text(kit.label, caption.text, CentreX(SkinRect(caption.position)), baseline, kLabel,
               TextAlign::Centre);
}

void DrawHeader(ImageCanvas& c, const ArtKit& kit)
{
    c.FillGradient(RoundedBox(0, 0, kEditorWidth, 50, 0), Rgb(30, 34, 40), Rgb(24, 27, 32), 0, 50);
    c.FillRect(0, 50, kEditorWidth, 1, kButtonEdge);
    // The mark: four rising steps, then the name.
    for (int i = 0; i < 4; ++i)
    {
        double h = 6.0 + 4.0 * i;
        c.Fill(RoundedBox(20 + 6 * i, 32 - h, 24 + 6 * i, 32, 1.5), i == 3 ? kAccentLight : kAccent);
    }
    c.Text(kit.logo, "QUOVA", 48, 32, kText);
    c.Text(kit.label, "STEP ARPEGGIATOR", 48 + kit.logo.Measure("QUOVA") + 10, 31, kLabel);
    DrawWell(c, SkinRect(22), 4.0);
    RasterRect browser = SkinRect(138);
    DrawWell(c, {browser.left - kNameInset, browser.top, browser.right, browser.bottom}, 4.0);
    c.Text(kit.label, "PRESET", SkinRect(136).left - 6, 26, kLabel, TextAlign::Right);
}

void DrawKeyArea(ImageCanvas& c, const ArtKit& kit)
{
    DrawPanel(c, kit, {10, 56, 400, 222}, "KEY AREA");
    RasterRect buttons = SkinRect(17);
    for (int i = 0; i < 4; ++i)
        c.Text(kit.label, std::to_string(i + 1), buttons.left + 13 + 32 * i, 86, kLabel, TextAlign::Centre);
    DrawCaptions(c, kit, {{"ON", 9}, {"MIDI IN", 23}, {"MIDI OUT", 24}, {"VOLUME", 7}}, 86);
    DrawCaptions(
        c, kit,
        {{"START", 120}, {"END", 121}, {"BASE", 122}, {"NOTES", 18}, {"HOLD SYNC", 31}, {"VELOCITY", 32}},
        146);
    DrawCaptions(c, kit, {{"HOLD", 10}, {"TRANSP", 11}, {"BYPASS", 12}, {"RELEASE", 125}, {"SCENES", 13}},
                 186);
    for (int position : {23, 24, 120, 121, 122, 18, 31, 32})
        DrawWell(c, SkinRect(position));
    RasterRect plate = SkinRect(166);
    c.Fill(RoundedBox(plate.left, plate.top, plate.right, plate.bottom, 3.0), kPlate);
    c.Text(kit.label, "MODE", plate.left + (plate.right - plate.left) / 2, 186, kLabel, TextAlign::Centre);
}

void DrawPattern(ImageCanvas& c, const ArtKit& kit)
{
    DrawPanel(c, kit, {410, 56, 800, 222}, "PATTERN");
    DrawCaptions(c, kit, {{"RATE", 1}, {"GATE", 0}, {"SWING", 4}, {"OCTAVES", 5}, {"TRANSPOSE", 6}}, 86);
    DrawCaptions(c, kit, {{"RATE MODE", 3}, {"SORT ORDER", 19}, {"STEPS", 128}, {"RETRIG", 14}}, 144);
    DrawCaptions(c, kit, {{"SCALE", 33}, {"KEY", 34}, {"MODE", 35}}, 186);
    for (int position : {19, 128, 33, 34, 35})
        DrawWell(c, SkinRect(position));
}

void DrawGlobal(ImageCanvas& c, const ArtKit& kit)
{
    DrawPanel(c, kit, {810, 56, 990, 222}, "GLOBAL");
    DrawCaptions(c, kit, {{"MASTER", 8}}, 86);
    DrawCaptions(c, kit, {{"ZONE SYNC", 155}, {"PANIC", 135}}, 146);
    RasterRect teach = SkinRect(25), teachButton = SkinRect(26);
    c.Text(kit.label, "CC TEACH", (teach.left + teachButton.right) / 2, 86, kLabel, TextAlign::Centre);
    DrawWell(c, teach);
    DrawWell(c, SkinRect(155));
}

// The step grid: one column per step, steps grouped in fours, faint quarter lines.
void DrawGrid(ImageCanvas& c, const ArtKit& kit)
{
    RasterRect grid = SkinRect(36);
    c.Fill(RoundedBox(grid.left - 1, grid.top - 1, grid.right + 1, grid.bottom + 1, 2.0), kWellBorder);
    c.FillRect(grid.left, grid.top, grid.right - grid.left, grid.bottom - grid.top, kWell);
    for (int col = 0; col < 32; ++col)
    {
        int x = grid.left + 1 + 24 * col;
        c.FillRect(x, grid.top, 21, grid.bottom - grid.top,
                   (col / 4) % 2 == 0 ? kGridColumn : kGridColumnAlt);
    }
    int height = grid.bottom - grid.top;
    for (int k = 1; k < 4; ++k)
        c.FillRect(grid.left, grid.top + height * k / 4, grid.right - grid.left, 1, Rgb(255, 255, 255),
                   k == 2 ? 0.07f : 0.04f);

    RasterRect loop = SkinRect(124);
    c.Fill(RoundedBox(loop.left, loop.top, loop.right, loop.bottom, 2.0), Rgb(28, 32, 38));
    for (int col = 0; col <= 32; col += 4)
        c.FillRect(loop.left + 24 * col - (col == 32 ? 1 : 0), loop.top + 4, 1, loop.bottom - loop.top - 8,
                   Rgb(60, 68, 78));

    RasterRect patterns = SkinRect(123);
    c.Text(kit.label, "PATTERN", patterns.left - 8, patterns.top + 15, kLabel, TextAlign::Right);
    RasterRect cc = SkinRect(154);
    c.Text(kit.label, "CC", cc.left - 8, cc.top + 11, kLabel, TextAlign::Right);
    c.FillRect(grid.left, SkinRect(37).top - 2, grid.right - grid.left, 1, kButtonEdge);
}

void DrawTools(ImageCanvas& c, const ArtKit& kit)
{
    DrawPanel(c, kit, {812, 226, 990, 432}, "TOOLS");
    RasterRect direction = SkinRect(15), reset = SkinRect(16);
    c.Fill(RoundedBox(822, 318, 825, 328, 1.0), kAccent);
    c.Text(kit.title, "LANE", 830, 327, kTitle);
    c.Text(kit.label, "DIRECTION", CentreX(direction), 344, kLabel, TextAlign::Centre);
    c.Text(kit.label, "RESET", CentreX(reset), 344, kLabel, TextAlign::Centre);
    DrawWell(c, direction);
}

void DrawScenes(ImageCanvas& c, const ArtKit& kit)
{
    DrawPanel(c, kit, {10, 440, 350, 563}, "SCENES");
    const char* rows[3] = {"PTN", "LEN", "REP"};
    for (int row = 0; row < 3; ++row)
    {
        RasterRect first = SkinRect(70 + 16 * row);
        c.Text(kit.label, rows[row], first.left - 8, first.top + 12, kLabel, TextAlign::Right);
        for (int k = 0; k < 16; ++k)
        {
            RasterRect cell = SkinRect(70 + 16 * row + k);
            DrawWell(c, {cell.left + 1, cell.top, cell.right - 1, cell.bottom}, 2.0);
        }
    }
    RasterRect view = SkinRect(118);
    DrawWell(c, view, 3.0);
    for (int k = 0; k < 16; ++k)
        c.FillRect(view.left + 18 * k + 2, view.top + 2, 17, view.bottom - view.top - 17, Rgb(255, 255, 255),
                   0.04f);
    c.Text(kit.label, "END", view.left - 8, view.bottom - 6, kLabel, TextAlign::Right);
}

void DrawChordMemory(ImageCanvas& c, const ArtKit& kit)
{
    DrawPanel(c, kit, {360, 440, 990, 563}, "CHORD MEMORY");
    RasterRect set = SkinRect(145), chord = SkinRect(144);
    DrawWell(c, {set.left - kNameInset, set.top, set.right, set.bottom});
    DrawWell(c, chord);
    c.Text(kit.label, "CHORD", (chord.left + SkinRect(151).right) / 2, 455, kLabel, TextAlign::Centre);
    c.Text(kit.label, "INVERT", (SkinRect(153).left + SkinRect(152).right) / 2, 455, kLabel,
           TextAlign::Centre);

    // The keyboard: 36 keys of 16 pixels, one per semitone, with the root strip below them.
    RasterRect keys = SkinRect(127);
    static const bool kBlack[12] = {false, true,  false, true,  false, false,
                                    true,  false, true,  false, true,  false};
    c.Fill(RoundedBox(keys.left - 1, keys.top - 1, keys.right + 1, keys.top + 32, 2.0), kButtonEdge);
    for (int i = 0; i < 36; ++i)
    {
        int x = keys.left + 16 * i;
        bool black = kBlack[i % 12];
        c.FillGradient(RoundedBox(x + 1, keys.top, x + 15, keys.top + 31, 1.5),
                       black ? Rgb(58, 64, 74) : Rgb(222, 227, 234), black ? kKeyBlack : kKeyWhite, keys.top,
                       keys.top + 31);
        if (i % 12 == 0)
        {
            static const char* const kOctaves[3] = {"C1", "C2", "C3"};
            c.Text(kit.small, kOctaves[i / 12], x + 8, keys.top + 28, Rgb(92, 100, 112), TextAlign::Centre);
        }
    }
    DrawWell(c, {keys.left, keys.top + 33, keys.right, keys.bottom}, 2.0);
}
} // namespace

std::unique_ptr<ImageCanvas> PaintBackground(const ArtKit& kit, int, int, int width, int height)
{
    auto c = std::make_unique<ImageCanvas>(width, height, kBackground);
    c->FillGradient(RoundedBox(0, 0, width, height, 0), kBackground, kBackgroundLow, 0, height);
    DrawHeader(*c, kit);
    DrawKeyArea(*c, kit);
    DrawPattern(*c, kit);
    DrawGlobal(*c, kit);
    DrawGrid(*c, kit);
    DrawTools(*c, kit);
    c->FillRect(10, kCompactHeight + 3, width - 20, 1, kButtonEdge);
    DrawScenes(*c, kit);
    DrawChordMemory(*c, kit);
    return c;
}
