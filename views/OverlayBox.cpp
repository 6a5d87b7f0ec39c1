#include "views/OverlayBox.h"

#include "gui/IGraphics.h"

namespace overlay
{
void PaintBox(IGraphics* graphics, const IRectangle& r)
{
    graphics->PaintRectangle(kBackground, r);
    // The outline's right and bottom lines lie on the given coordinates: keep them inside r.
    graphics->DrawRectangleOutline(kOutline, IRectangle(r.left, r.top, r.right - 1, r.bottom - 1));
}
} // namespace overlay
