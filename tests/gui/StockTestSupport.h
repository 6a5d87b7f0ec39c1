// What the control tests share: a module with a probe glyph image, its font description, a
// two-frame button strip and the editor rig's images, and a rig that draws from it.
//
// The probe font has line height 10 and a glyph for every printable ASCII character, each in its
// own 10-pixel cell filled with ProbeGlyphColour(c) (the rest of the image is transparent). Most
// glyphs are 3 x 5 with x offset 0, y offset 3 and advance 4; a few differ so that placement
// arithmetic shows: 'A' 4 x 6 (1, 2, 6), 'B' 5 x 8 (0, 1, 5), 'W' 8 x 6 (0, 2, 9), '.' 1 x 1
// (0, 7, 2), ' ' no cell, advance 3.
#pragma once

#include <string>
#include <vector>

#include "gui/BitmapFont.h"
#include "gui/IObserverInterface.h"
#include "tests/gui/EditorTestSupport.h"

struct ProbeGlyph
{
    int width, height, xOffset, yOffset, advance;
};
ProbeGlyph ProbeGlyphOf(char c);
// 0xFFRRGGBB, distinct for every character and from the rig's background.
uint32_t ProbeGlyphColour(char c);
inline constexpr int kProbeLineHeight = 10;
std::string ProbeFontDescription();

inline constexpr int kProbeGlyphImage = 401; // "PNG"
inline constexpr int kButtonStrip = 402;     // "PNG", 8 x 12: frame 1 kButtonOff, frame 2 kButtonOn
inline constexpr int kProbeFontText = 403;   // "TEXTFILE", ProbeFontDescription()
inline constexpr uint32_t kButtonOff = 0xFF605040;
inline constexpr uint32_t kButtonOn = 0xFFE0C0A0;

// The rig's background as the window shows it (without the alpha byte).
inline constexpr uint32_t kShownBackground = kBackgroundColour & 0xFFFFFF;

// Records the kinds of the mouse events a subject reports.
struct MouseRecorder : IObserverInterface
{
    void OnSubjectChanged(ISubject*) override {}
    void OnSubjectMouseEvent(ISubject*, int, int, int kind, const IMouseModifiers&) override
    {
        kinds.push_back(kind);
    }
    std::vector<int> kinds;
};

// The editor rig reading from the module above, with the probe font and the button strip loaded.
class StockRig : public EditorRig
{
public:
    StockRig();
    // The drawing bitmap's pixel without its alpha byte.
    uint32_t Drawn(int x, int y) const { return editor->GetPixelColor(x, y) & 0xFFFFFF; }

    IBitmapStrip glyphs;
    IBitmapStrip buttons;
    std::unique_ptr<BitmapFont> font;
};
