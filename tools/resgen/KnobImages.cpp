// Knob frames: a dark turned body with a pointer inside a ring that shows the value. Unipolar
// knobs fill the ring from the lowest position (seven o'clock) clockwise; bipolar knobs fill it
// from twelve o'clock toward the value. The ring spans 270 degrees.
#include "tools/resgen/ImageCatalog.h"

#include <cmath>
#include <numbers>

namespace
{
constexpr double kSweepStart = -135.0;
constexpr double kSweep = 270.0;

std::unique_ptr<ImageCanvas> PaintKnob(int index, int frames, int width, int height, bool bipolar)
{
    using namespace palette;
    double value = frames > 1 ? static_cast<double>(index) / (frames - 1) : 0.0;
    double cx = width * 0.5, cy = height * 0.5;
    double size = std::min(width, height);
    double ringRadius = size * 0.5 - 3.0, ringWidth = 3.0;
    double bodyRadius = size * 0.5 - 7.5;

    auto c = std::make_unique<ImageCanvas>(width, height, kButtonEdge);
    Shape track = Arc(cx, cy, ringRadius, ringWidth, kSweepStart, kSweepStart + kSweep);
    c->Fill(track, Rgb(45, 52, 61));
    double angle = kSweepStart + kSweep * value;
    double from = bipolar ? std::min(0.0, angle) : kSweepStart;
    double to = bipolar ? std::max(0.0, angle) : angle;
    if (to - from > 0.5) c->Fill(Arc(cx, cy, ringRadius, ringWidth, from, to), kAccent);
    if (bipolar) c->Fill(Capsule(cx, cy - ringRadius - 1.0, cx, cy - ringRadius + 1.0, 1.4), kAccentLight);

    Shape body = Circle(cx, cy, bodyRadius);
    c->Fill(body, kButtonEdge);
    c->FillGradient(Circle(cx, cy, bodyRadius - 1.0), Rgb(80, 89, 101), Rgb(40, 45, 53),
                    static_cast<int32_t>(cy - bodyRadius), static_cast<int32_t>(cy + bodyRadius));
    c->Fill(Subtract(Circle(cx, cy, bodyRadius - 1.0), Circle(cx, cy + 1.2, bodyRadius - 1.6)),
            Rgb(120, 130, 143), 0.35f);

    double radians = angle * std::numbers::pi / 180.0;
    double sx = std::sin(radians), sy = -std::cos(radians);
    c->Fill(Capsule(cx + sx * bodyRadius * 0.35, cy + sy * bodyRadius * 0.35, cx + sx * (bodyRadius - 2.5),
                    cy + sy * (bodyRadius - 2.5), 2.2),
            kText);

    c->SetAlphaFromSilhouette(Rasterize(Union(track, body), width, height));
    return c;
}
} // namespace

std::unique_ptr<ImageCanvas> PaintUnipolarKnob(const ArtKit&, int index, int frames, int width, int height)
{
    return PaintKnob(index, frames, width, height, false);
}

std::unique_ptr<ImageCanvas> PaintBipolarKnob(const ArtKit&, int index, int frames, int width, int height)
{
    return PaintKnob(index, frames, width, height, true);
}
