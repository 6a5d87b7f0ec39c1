#pragma once
// Drawing of the built-in controls and of a desktop's native pieces (dialog items, menus) into
// pixel surfaces with the platform's own GDI text: one shared user-interface font, filled
// rectangles, frames and text.

#include "platform/gdi/Surface.h"
#include "platform/types/Win32Types.h"

#include <string>

namespace quova::win32
{

// 0xAARRGGBB colours of the native pieces.
inline constexpr uint32_t kFaceColour = 0xFFEDEDED;
inline constexpr uint32_t kFieldColour = 0xFFFFFFFF;
inline constexpr uint32_t kFrameColour = 0xFF7A7A7A;
inline constexpr uint32_t kHotColour = 0xFF3B6FC4;
inline constexpr uint32_t kTextColour = 0xFF000000;
inline constexpr uint32_t kGreyTextColour = 0xFF9A9A9A;
inline constexpr uint32_t kHotTextColour = 0xFFFFFFFF;
inline constexpr uint32_t kSelectionColour = 0xFFB4D2F5;

// The controls' user-interface font (made once, kept for the process); null when no face loads.
HFONT ControlFont();

void FillArea(PixelSurface& s, const RECT& r, uint32_t colour);
void FrameArea(PixelSurface& s, const RECT& r, uint32_t colour);
// Text in the user-interface font, vertically centred in r; format: DT_LEFT, DT_CENTER, DT_RIGHT.
void DrawLabel(PixelSurface& s, const std::string& text, const RECT& r, uint32_t colour, UINT format);
// A caption, drawn as DrawLabel does: "&" marks the next letter, which is underlined (the letter
// that presses a dialog's button with Alt); "&&" shows one "&".
void DrawCaption(PixelSurface& s, const std::string& caption, const RECT& r, uint32_t colour, UINT format);
// The width of a text in the user-interface font.
int LabelWidth(const std::string& text);
// The height of a line of text in the user-interface font.
int LineHeight();
// The height of a one-line control's face (a combo box shut, a one-line field): a line and its margins.
int FaceHeight();
// A check mark and a submenu arrow inside r.
void DrawCheck(PixelSurface& s, const RECT& r, uint32_t colour);
void DrawArrow(PixelSurface& s, const RECT& r, uint32_t colour);
// A drop-down arrow (pointing down) and one pointing up, inside r.
void DrawArrowDown(PixelSurface& s, const RECT& r, uint32_t colour);
void DrawArrowUp(PixelSurface& s, const RECT& r, uint32_t colour);

} // namespace quova::win32
