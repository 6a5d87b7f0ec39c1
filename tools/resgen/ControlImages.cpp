// Button, switch, indicator and marker frames, and the catalog of every image. Two-frame
// buttons show their resting (value 0) look in frame 1 and their lit or pressed look in frame 2.
#include "tools/resgen/ImageCatalog.h"

#include "graphics/Blit.h"

#include <cmath>

namespace
{
using namespace palette;

enum class PlateLook
{
    Rest,
    Lit,
    Warn,
    WarnLit
};

// A raised face filling the canvas: dark edge, gradient body and a soft top highlight.
// Returns the outline, whose coverage becomes the frame's alpha.
Shape PaintPlate(ImageCanvas& c, double radius, PlateLook look)
{
    double w = c.Width(), h = c.Height();
    RasterPixel top = kButtonTop, bottom = kButtonBottom;
    if (look == PlateLook::Lit)
        top = Rgb(108, 176, 244), bottom = Rgb(56, 116, 188);
    else if (look == PlateLook::Warn)
        top = Rgb(120, 44, 40), bottom = Rgb(84, 30, 28);
    else if (look == PlateLook::WarnLit)
        top = kWarnLight, bottom = kWarn;
    Shape outer = RoundedBox(0, 0, w, h, radius);
    c.Fill(outer, kButtonEdge);
    c.FillGradient(RoundedBox(1, 1, w - 1, h - 1, radius - 1), top, bottom, 1, static_cast<int32_t>(h) - 1);
    c.Fill(Intersect(RoundedBox(1, 1, w - 1, h - 1, radius - 1), RoundedBox(1, 1, w - 1, 2, 0)),
           Rgb(255, 255, 255), look == PlateLook::Rest ? 0.10f : 0.22f);
    return outer;
}

std::unique_ptr<ImageCanvas> Finish(std::unique_ptr<ImageCanvas> c, const Shape& outline)
{
    c->SetAlphaFromSilhouette(Rasterize(outline, c->Width(), c->Height()));
    return c;
}

bool Lit(int index)
{
    return index > 0;
}

RasterPixel IconColour(int index)
{
    return Lit(index) ? Rgb(255, 255, 255) : kIcon;
}

// Plain two-state buttons: resting face, lit face.
std::unique_ptr<ImageCanvas> PaintPlain(const ArtKit&, int index, int, int w, int h, double radius)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kButtonEdge);
    Shape outline = PaintPlate(*c, radius, Lit(index) ? PlateLook::Lit : PlateLook::Rest);
    return Finish(std::move(c), outline);
}

std::unique_ptr<ImageCanvas> PaintButton(const ArtKit& kit, int index, int frames, int w, int h)
{
    return PaintPlain(kit, index, frames, w, h, 4.0);
}

std::unique_ptr<ImageCanvas> PaintSmallButton(const ArtKit& kit, int index, int frames, int w, int h)
{
    return PaintPlain(kit, index, frames, w, h, 3.0);
}

std::unique_ptr<ImageCanvas> PaintStepSwitch(const ArtKit& kit, int index, int frames, int w, int h)
{
    return PaintPlain(kit, index, frames, w, h, 2.5);
}

// A switch with a round light in the middle.
std::unique_ptr<ImageCanvas> PaintOnOff(const ArtKit&, int index, int, int w, int h)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kButtonEdge);
    Shape outline = PaintPlate(*c, 4.0, PlateLook::Rest);
    double cx = w * 0.5, cy = h * 0.5;
    c->Fill(Circle(cx, cy, 4.6), kButtonEdge);
    if (Lit(index))
    {
        c->Fill(Circle(cx, cy, 7.5), kLed, 0.18f);
        c->Fill(Circle(cx, cy, 3.6), kLed);
        c->Fill(Circle(cx - 0.8, cy - 1.0, 1.4), Rgb(235, 248, 255), 0.8f);
    }
    else
    {
        c->Fill(Circle(cx, cy, 3.6), kLedOff);
    }
    return Finish(std::move(c), outline);
}

// The controller-teach switch: a target ring that glows amber while teaching.
std::unique_ptr<ImageCanvas> PaintTeach(const ArtKit&, int index, int, int w, int h)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kButtonEdge);
    Shape outline = PaintPlate(*c, 4.0, PlateLook::Rest);
    double cx = w * 0.5, cy = h * 0.5;
    RasterPixel colour = Lit(index) ? kAmber : kIcon;
    if (Lit(index)) c->Fill(Circle(cx, cy, 8.0), kAmber, 0.2f);
    c->Fill(Arc(cx, cy, 5.5, 1.6, 0.0, 360.0), colour);
    c->Fill(Circle(cx, cy, 2.0), colour);
    return Finish(std::move(c), outline);
}

std::unique_ptr<ImageCanvas> PaintTextButton(const GlyphRenderer& font, const char* text, int index, int w,
                                             int h, double radius)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kButtonEdge);
    Shape outline = PaintPlate(*c, radius, Lit(index) ? PlateLook::Lit : PlateLook::Rest);
    FontMetrics m = font.Metrics();
    int32_t baseline = (h + m.capHeight) / 2;
    c->Text(font, text, w / 2, baseline, Lit(index) ? Rgb(255, 255, 255) : Rgb(176, 186, 198),
            TextAlign::Centre);
    return Finish(std::move(c), outline);
}

std::unique_ptr<ImageCanvas> PaintFree(const ArtKit& kit, int index, int, int w, int h)
{
    return PaintTextButton(kit.button, "FREE", index, w, h, 4.0);
}

std::unique_ptr<ImageCanvas> PaintOk(const ArtKit& kit, int index, int, int w, int h)
{
    return PaintTextButton(kit.small, "OK", index, w, h, 3.0);
}

std::unique_ptr<ImageCanvas> PaintInfo(const ArtKit& kit, int index, int, int w, int h)
{
    return PaintTextButton(kit.small, "INFO", index, w, h, 3.0);
}

std::unique_ptr<ImageCanvas> PaintSettings(const ArtKit& kit, int index, int, int w, int h)
{
    return PaintTextButton(kit.small, "SETTINGS", index, w, h, 3.0);
}

// A plate with a small triangle pointing left (direction -1) or right (+1).
std::unique_ptr<ImageCanvas> PaintArrow(int index, int w, int h, double radius, int direction, double size)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kButtonEdge);
    Shape outline = PaintPlate(*c, radius, Lit(index) ? PlateLook::Lit : PlateLook::Rest);
    double cx = w * 0.5, cy = h * 0.5, half = size * 0.5;
    double tip = cx + direction * half * 0.8, back = cx - direction * half * 0.8;
    c->Fill(ConvexPolygon({back, tip, back}, {cy - half, cy, cy + half}), IconColour(index));
    return Finish(std::move(c), outline);
}

std::unique_ptr<ImageCanvas> PaintBoxLeft(const ArtKit&, int index, int, int w, int h)
{
    return PaintArrow(index, w, h, 3.0, -1, 7.0);
}

std::unique_ptr<ImageCanvas> PaintBoxRight(const ArtKit&, int index, int, int w, int h)
{
    return PaintArrow(index, w, h, 3.0, 1, 7.0);
}

// Chord inversion buttons: an arrow with a bar behind it.
std::unique_ptr<ImageCanvas> PaintInvert(int index, int w, int h, int direction)
{
    auto c = PaintArrow(index, w, h, 3.0, direction, 8.0);
    double cx = w * 0.5, cy = h * 0.5;
    double barX = cx - direction * 5.0;
    c->Fill(Capsule(barX, cy - 4.0, barX, cy + 4.0, 1.6), IconColour(index));
    c->SetAlphaFromSilhouette(Rasterize(RoundedBox(0, 0, w, h, 3.0), w, h));
    return c;
}

std::unique_ptr<ImageCanvas> PaintInvertLeft(const ArtKit&, int index, int, int w, int h)
{
    return PaintInvert(index, w, h, -1);
}

std::unique_ptr<ImageCanvas> PaintInvertRight(const ArtKit&, int index, int, int w, int h)
{
    return PaintInvert(index, w, h, 1);
}

// The compact-view switch: a chevron.
std::unique_ptr<ImageCanvas> PaintResize(const ArtKit&, int index, int, int w, int h)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kButtonEdge);
    Shape outline = PaintPlate(*c, 2.0, Lit(index) ? PlateLook::Lit : PlateLook::Rest);
    double cx = w * 0.5, cy = h * 0.5;
    RasterPixel colour = IconColour(index);
    c->Fill(Capsule(cx - 3.5, cy - 1.5, cx, cy + 1.5, 1.5), colour);
    c->Fill(Capsule(cx, cy + 1.5, cx + 3.5, cy - 1.5, 1.5), colour);
    return Finish(std::move(c), outline);
}

std::unique_ptr<ImageCanvas> PaintPanic(const ArtKit& kit, int index, int, int w, int h)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kButtonEdge);
    Shape outline = PaintPlate(*c, 4.0, Lit(index) ? PlateLook::WarnLit : PlateLook::Warn);
    double cx = w * 0.5, cy = h * 0.5;
    c->Fill(RoundedBox(cx - 4.0, cy - 4.0, cx + 4.0, cy + 4.0, 1.0), Rgb(255, 236, 230));
    (void)kit;
    return Finish(std::move(c), outline);
}

// A padlock: open and grey at rest, closed and amber when locked. No plate.
std::unique_ptr<ImageCanvas> PaintLock(const ArtKit&, int index, int, int w, int h)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kButtonEdge);
    bool locked = Lit(index);
    RasterPixel colour = locked ? kAmber : Rgb(118, 129, 143);
    double cx = w * 0.5;
    Shape body = RoundedBox(cx - 6.0, 9.5, cx + 6.0, 18.5, 2.0);
    double shackleX = locked ? cx : cx + 3.0;
    double shackleBottom = locked ? 10.0 : 8.0;
    Shape shackle =
        Union(Arc(shackleX, 7.0, 3.6, 1.8, -90.0, 90.0),
              Union(Capsule(shackleX - 3.6, 7.0, shackleX - 3.6, locked ? shackleBottom : 7.5, 1.8),
                    Capsule(shackleX + 3.6, 7.0, shackleX + 3.6, shackleBottom, 1.8)));
    Shape outline = Union(body, shackle);
    c->Fill(outline, colour);
    c->Fill(Capsule(cx, 12.5, cx, 15.0, 1.6), kButtonEdge);
    return Finish(std::move(c), outline);
}

// Tool buttons: a plate with a line icon.
std::unique_ptr<ImageCanvas> ToolPlate(int index, int w, int h, Shape* outline)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kButtonEdge);
    *outline = PaintPlate(*c, 4.0, Lit(index) ? PlateLook::Lit : PlateLook::Rest);
    return c;
}

Shape BoxOutline(double l, double t, double r, double b, double radius, double width)
{
    return Subtract(RoundedBox(l, t, r, b, radius),
                    RoundedBox(l + width, t + width, r - width, b - width, std::max(0.0, radius - width)));
}

std::unique_ptr<ImageCanvas> PaintDraw(const ArtKit&, int index, int, int w, int h)
{
    Shape outline;
    auto c = ToolPlate(index, w, h, &outline);
    RasterPixel colour = IconColour(index);
    c->Fill(Capsule(13.0, 17.0, 21.5, 8.5, 3.4), colour);
    c->Fill(ConvexPolygon({10.0, 13.6, 11.8}, {20.0, 18.8, 15.6}), colour);
    c->Fill(Capsule(12.5, 21.5, 23.0, 21.5, 1.2), colour, 0.7f);
    return Finish(std::move(c), outline);
}

std::unique_ptr<ImageCanvas> PaintSelect(const ArtKit&, int index, int, int w, int h)
{
    Shape outline;
    auto c = ToolPlate(index, w, h, &outline);
    RasterPixel colour = IconColour(index);
    for (int x = 9; x <= 22; x += 4)
    {
        c->FillRect(x, 7, 2, 1, colour);
        c->FillRect(x, 19, 2, 1, colour);
    }
    for (int y = 7; y <= 18; y += 4)
    {
        c->FillRect(9, y, 1, 2, colour);
        c->FillRect(23, y, 1, 2, colour);
    }
    c->Fill(ConvexPolygon({18.0, 25.0, 21.5}, {14.0, 18.5, 22.0}), colour);
    return Finish(std::move(c), outline);
}

std::unique_ptr<ImageCanvas> PaintRandom(const ArtKit&, int index, int, int w, int h)
{
    Shape outline;
    auto c = ToolPlate(index, w, h, &outline);
    RasterPixel colour = IconColour(index);
    c->Fill(BoxOutline(10.0, 7.0, 23.0, 20.0, 2.5, 1.4), colour);
    const double pips[5][2] = {{13.6, 10.6}, {19.4, 10.6}, {16.5, 13.5}, {13.6, 16.4}, {19.4, 16.4}};
    for (const auto& p : pips)
        c->Fill(Circle(p[0], p[1], 1.25), colour);
    return Finish(std::move(c), outline);
}

std::unique_ptr<ImageCanvas> PaintCopy(const ArtKit&, int index, int, int w, int h)
{
    Shape outline;
    auto c = ToolPlate(index, w, h, &outline);
    RasterPixel colour = IconColour(index);
    c->Fill(Subtract(BoxOutline(10.0, 6.0, 19.0, 17.0, 1.5, 1.4), RoundedBox(13.0, 9.0, 24.0, 22.0, 1.5)),
            colour);
    c->Fill(BoxOutline(14.0, 10.0, 23.0, 21.0, 1.5, 1.4), colour);
    return Finish(std::move(c), outline);
}

std::unique_ptr<ImageCanvas> PaintPaste(const ArtKit&, int index, int, int w, int h)
{
    Shape outline;
    auto c = ToolPlate(index, w, h, &outline);
    RasterPixel colour = IconColour(index);
    c->Fill(BoxOutline(10.5, 7.0, 22.5, 22.0, 1.5, 1.4), colour);
    c->Fill(RoundedBox(13.5, 5.0, 19.5, 9.0, 1.0), colour);
    c->Fill(Capsule(13.5, 13.5, 19.5, 13.5, 1.3), colour);
    c->Fill(Capsule(13.5, 17.0, 18.0, 17.0, 1.3), colour);
    return Finish(std::move(c), outline);
}

std::unique_ptr<ImageCanvas> PaintClear(const ArtKit&, int index, int, int w, int h)
{
    Shape outline;
    auto c = ToolPlate(index, w, h, &outline);
    RasterPixel colour = IconColour(index);
    c->Fill(Capsule(11.5, 8.5, 21.5, 18.5, 2.0), colour);
    c->Fill(Capsule(21.5, 8.5, 11.5, 18.5, 2.0), colour);
    return Finish(std::move(c), outline);
}

// Note markers of the step grid: frame k is a marker k steps into its fade.
std::unique_ptr<ImageCanvas> PaintNoteMarker(const ArtKit&, int index, int frames, int w, int h)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kMarker);
    double fade = std::pow(1.0 - static_cast<double>(index) / frames, 1.6);
    Shape pill = RoundedBox(0, 0, w, h, 3.0);
    c->Fill(RoundedBox(1, 1, w - 1, 3, 1.0), Rgb(255, 250, 236), 0.6f);
    c->SetAlphaFromSilhouette(Rasterize(pill, w, h), static_cast<float>(fade));
    return c;
}

// Incoming-note lights: frame 1 dark, then brighter toward the last frame.
std::unique_ptr<ImageCanvas> PaintIncomingNote(const ArtKit&, int index, int frames, int w, int h)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kButtonEdge);
    double level = frames > 1 ? static_cast<double>(index) / (frames - 1) : 0.0;
    Shape pill = RoundedBox(0, 0, w, h, 3.0);
    c->Fill(pill, kButtonEdge);
    c->Fill(RoundedBox(1, 1, w - 1, h - 1, 2.0), MixColour(kLedOff, kLed, level));
    if (level > 0.0)
        c->Fill(RoundedBox(3, 2, w - 3, 4, 1.0), Rgb(235, 248, 255), static_cast<float>(0.55 * level));
    return Finish(std::move(c), pill);
}

// The keyboard's root marker: an upward wedge; frame 2 keeps its two top rows clear, since the
// keyboard draws the marker two rows taller than a frame.
std::unique_ptr<ImageCanvas> PaintRootMarker(const ArtKit&, int index, int, int w, int h)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kAmber);
    double cx = w * 0.5;
    Shape wedge = index == 0 ? ConvexPolygon({cx, cx + 5.5, cx - 5.5}, {0.5, h - 0.5, h - 0.5})
                             : ConvexPolygon({cx, cx + 4.0, cx - 4.0}, {3.0, h - 0.5, h - 0.5});
    c->SetAlphaFromSilhouette(Rasterize(wedge, w, h), index == 0 ? 1.0f : 0.45f);
    return c;
}

// Loop markers: a bracket with a flag at the first (start) or last (end) step of the loop.
std::unique_ptr<ImageCanvas> PaintLoopMarker(int w, int h, bool start)
{
    auto c = std::make_unique<ImageCanvas>(w, h, kLoop);
    Shape shape = start ? Union(RoundedBox(0, 0, 3, h, 1.0), ConvexPolygon({2.0, 12.0, 2.0}, {0.0, 0.0, 9.0}))
                        : Union(RoundedBox(w - 3, 0, w, h, 1.0),
                                ConvexPolygon({w - 2.0, w - 2.0, w - 12.0}, {0.0, 9.0, 0.0}));
    c->SetAlphaFromSilhouette(Rasterize(shape, w, h));
    return c;
}

std::unique_ptr<ImageCanvas> PaintLoopStart(const ArtKit&, int, int, int w, int h)
{
    return PaintLoopMarker(w, h, true);
}

std::unique_ptr<ImageCanvas> PaintLoopEnd(const ArtKit&, int, int, int w, int h)
{
    return PaintLoopMarker(w, h, false);
}

const std::vector<ImageEntry> kCatalog = {
    {101, "resources/images/background.png", 1, 1000, 565, PaintBackground},
    {102, "resources/images/ptnviewStepOnoff_23x13.png", 2, 23, 13, PaintStepSwitch},
    {103, "resources/images/noteliststrip_21x8_30frames.png", 30, 21, 8, PaintNoteMarker},
    {104, "resources/images/ptnview_63x15.png", 2, 63, 15, PaintSmallButton},
    {105, "resources/images/About.png", 1, 400, 260, PaintAbout},
    {106, "resources/images/freebutton_38x19.png", 2, 38, 19, PaintFree},
    {107, "resources/images/buttonOnOff_27x23.png", 2, 27, 23, PaintOnOff},
    {108, "resources/images/bipolar_knob_with_ring_127frames.png", 127, 40, 40, PaintBipolarKnob},
    {109, "resources/images/unipolar_knob_with_ring_127frames.png", 127, 40, 40, PaintUnipolarKnob},
    {111, "resources/images/button_27x23.png", 2, 27, 23, PaintButton},
    {112, "resources/images/incomingnote_27x9_30frames.png", 30, 27, 9, PaintIncomingNote},
    {122, "resources/images/boxbuttonLeft_27x14.png", 2, 27, 14, PaintBoxLeft},
    {123, "resources/images/resizebutton_15x11.png", 2, 15, 11, PaintResize},
    {124, "resources/images/boxbuttonOK_27x14.png", 2, 27, 14, PaintOk},
    {125, "resources/images/boxbuttonRight_27x14.png", 2, 27, 14, PaintBoxRight},
    {126, "resources/images/boxbuttonInfo_30x14.png", 2, 30, 14, PaintInfo},
    {127, "resources/images/buttonTeach_27x23.png", 2, 27, 23, PaintTeach},
    {128, "resources/images/editClear_33x27.png", 2, 33, 27, PaintClear},
    {129, "resources/images/editCopy_33x27.png", 2, 33, 27, PaintCopy},
    {130, "resources/images/editDraw_33x27.png", 2, 33, 27, PaintDraw},
    {131, "resources/images/editPaste_33x27.png", 2, 33, 27, PaintPaste},
    {132, "resources/images/editRand_33x27.png", 2, 33, 27, PaintRandom},
    {133, "resources/images/editSelect_33x27.png", 2, 33, 27, PaintSelect},
    {134, "resources/images/lockbutton_21x21.png", 2, 21, 21, PaintLock},
    {135, "resources/images/panicbutton_29x19.png", 2, 29, 19, PaintPanic},
    {136, "resources/images/SbuttonLeft_23x21.png", 2, 23, 21, PaintInvertLeft},
    {137, "resources/images/SbuttonRight_23x21.png", 2, 23, 21, PaintInvertRight},
    {138, "resources/images/Sbutton_23x21.png", 2, 23, 21, PaintSmallButton},
    {141, "resources/images/ptnviewloopstart_24x15.png", 1, 24, 15, PaintLoopStart},
    {142, "resources/images/ptnviewloopend_24x15.png", 1, 24, 15, PaintLoopEnd},
    {143, "resources/images/ptnviewCC_19x15.png", 2, 19, 15, PaintSmallButton},
    {144, "resources/images/basenoteled_16x8.png", 2, 16, 8, PaintRootMarker},
    {146, "resources/images/unipolar_knob_with_ring_5frames.png", 5, 40, 40, PaintUnipolarKnob},
    {147, "resources/images/bipolar_knob_with_ring_25frames.png", 25, 40, 40, PaintBipolarKnob},
    {148, "resources/images/unipolar_knob_with_ring_23frames.png", 23, 40, 40, PaintUnipolarKnob},
    {151, "resources/images/boxbuttonSettings_48x14.png", 2, 48, 14, PaintSettings},
};
} // namespace

const std::vector<ImageEntry>& ImageCatalog()
{
    return kCatalog;
}

std::unique_ptr<ImageCanvas> PaintStrip(const ArtKit& kit, const ImageEntry& entry)
{
    auto strip = std::make_unique<ImageCanvas>(entry.frameWidth, entry.frameHeight * entry.frames, 0);
    for (int i = 0; i < entry.frames; ++i)
    {
        std::unique_ptr<ImageCanvas> frame =
            entry.paint(kit, i, entry.frames, entry.frameWidth, entry.frameHeight);
        BlitBitmap(&strip->Bitmap(), &frame->Bitmap(), 0, i * entry.frameHeight, 0, 0, entry.frameWidth,
                   entry.frameHeight, 1.0f, kBlendCopy);
    }
    return strip;
}
