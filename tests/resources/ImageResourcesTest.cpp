// Each committed image has the size its name and frame count give, frames stacked vertically,
// and frames that actually differ where a control shows different states.
#include "tests/resources/ResourceFiles.h"

#include "graphics/Fill.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

namespace
{
// Frame counts the editor loads each image with.
const std::map<int, int> kFrames = {
    {101, 1}, {102, 2},  {103, 30}, {104, 2}, {105, 1}, {106, 2}, {107, 2},  {108, 127}, {109, 127},
    {111, 2}, {112, 30}, {122, 2},  {123, 2}, {124, 2}, {125, 2}, {126, 2},  {127, 2},   {128, 2},
    {129, 2}, {130, 2},  {131, 2},  {132, 2}, {133, 2}, {134, 2}, {135, 2},  {136, 2},   {137, 2},
    {138, 2}, {141, 1},  {142, 1},  {143, 2}, {144, 2}, {146, 5}, {147, 25}, {148, 23},  {151, 2},
};

struct LoadedImage
{
    ListedResource resource;
    std::unique_ptr<RasterBitmap> bitmap;
    int frames;
};

std::vector<LoadedImage> LoadImages()
{
    std::vector<LoadedImage> images;
    std::optional<std::string> text = ReadFileBytes(SourceRoot() + "/resources/resources.txt");
    if (!text) return images;
    for (const ListedResource& r : ParseResourceList(*text))
        if (r.type == "PNG" && r.path.rfind("resources/images/", 0) == 0)
            images.push_back({r, LoadCheckoutPng(r.path), kFrames.count(r.id) ? kFrames.at(r.id) : -1});
    return images;
}

struct FrameSize
{
    int width = 0, height = 0;
};

// The "_<width>x<height>" part of a file name (followed by "_" or ".png"), if there is one.
bool SizeInName(const std::string& path, FrameSize* size)
{
    for (size_t at = path.find('_'); at != std::string::npos; at = path.find('_', at + 1))
    {
        int w = 0, h = 0, consumed = 0;
        if (std::sscanf(path.c_str() + at, "_%dx%d%n", &w, &h, &consumed) == 2)
        {
            std::string rest = path.substr(at + static_cast<size_t>(consumed));
            if (rest.rfind("_", 0) == 0 || rest == ".png")
            {
                *size = {w, h};
                return true;
            }
        }
    }
    return false;
}

// True when frame a and frame b of a vertical strip hold different pixels.
bool FramesDiffer(RasterBitmap* strip, int frames, int a, int b)
{
    int h = strip->Height() / frames;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < strip->Width(); ++x)
            if (ReadPixel(strip, x, a * h + y) != ReadPixel(strip, x, b * h + y)) return true;
    return false;
}
} // namespace

TEST(Images, EveryImageDecodesWithAKnownFrameCount)
{
    std::vector<LoadedImage> images = LoadImages();
    ASSERT_EQ(images.size(), kFrames.size());
    for (const LoadedImage& image : images)
    {
        EXPECT_TRUE(image.bitmap) << image.resource.path << " does not decode";
        EXPECT_GT(image.frames, 0) << image.resource.path << " has an id no control loads";
    }
}

TEST(Images, SizesMatchTheirNamesAndFrameCounts)
{
    for (const LoadedImage& image : LoadImages())
    {
        if (!image.bitmap || image.frames < 1) continue;
        const std::string& path = image.resource.path;
        ASSERT_EQ(image.bitmap->Height() % image.frames, 0)
            << path << ": height is not a whole number of frames";
        int frameHeight = image.bitmap->Height() / image.frames;
        FrameSize named;
        if (SizeInName(path, &named))
        {
            EXPECT_EQ(image.bitmap->Width(), named.width) << path;
            EXPECT_EQ(frameHeight, named.height) << path;
        }
    }
}

TEST(Images, BackgroundFillsTheEditorAndIsOpaque)
{
    std::unique_ptr<RasterBitmap> background = LoadCheckoutPng("resources/images/background.png");
    ASSERT_TRUE(background);
    EXPECT_EQ(background->Width(), 1000);
    EXPECT_EQ(background->Height(), 565);
    for (int y = 0; y < 565; y += 7)
        for (int x = 0; x < 1000; x += 7)
            ASSERT_EQ(PixelAlpha(ReadPixel(background.get(), x, y)), 255) << x << "," << y;
}

TEST(Images, KnobStripsShareOneSquareFrameAndChangeEveryFrame)
{
    int knobSize = -1;
    for (const LoadedImage& image : LoadImages())
    {
        if (image.resource.path.find("knob_with_ring") == std::string::npos || !image.bitmap) continue;
        int frameHeight = image.bitmap->Height() / image.frames;
        EXPECT_EQ(image.bitmap->Width(), frameHeight) << image.resource.path;
        if (knobSize < 0) knobSize = frameHeight;
        EXPECT_EQ(frameHeight, knobSize) << image.resource.path;
        for (int f = 1; f < image.frames; ++f)
            EXPECT_TRUE(FramesDiffer(image.bitmap.get(), image.frames, f - 1, f))
                << image.resource.path << ": frames " << f << " and " << f + 1 << " are the same";
        // Knobs are round: the corners stay transparent.
        EXPECT_EQ(PixelAlpha(ReadPixel(image.bitmap.get(), 0, 0)), 0) << image.resource.path;
        EXPECT_EQ(PixelAlpha(ReadPixel(image.bitmap.get(), frameHeight - 1, frameHeight - 1)), 0);
    }
    EXPECT_GT(knobSize, 0);
}

TEST(Images, TwoStateImagesShowTwoDifferentStates)
{
    for (const LoadedImage& image : LoadImages())
    {
        if (image.bitmap && image.frames == 2)
        {
            EXPECT_TRUE(FramesDiffer(image.bitmap.get(), 2, 0, 1)) << image.resource.path;
        }
    }
}

TEST(Images, FadingStripsFadeAndLightStripsBrighten)
{
    std::unique_ptr<RasterBitmap> markers =
        LoadCheckoutPng("resources/images/noteliststrip_21x8_30frames.png");
    std::unique_ptr<RasterBitmap> lights = LoadCheckoutPng("resources/images/incomingnote_27x9_30frames.png");
    ASSERT_TRUE(markers && lights);
    // A marker's alpha falls frame by frame (frame index = fade); the centre pixel is sampled.
    int previous = 256;
    for (int f = 0; f < 30; ++f)
    {
        int alpha = PixelAlpha(ReadPixel(markers.get(), 10, f * 8 + 4));
        EXPECT_LT(alpha, previous) << "frame " << f + 1;
        previous = alpha;
    }
    EXPECT_EQ(PixelAlpha(ReadPixel(markers.get(), 10, 4)), 255);
    // An incoming-note light gets brighter toward its last frame (value 1.0).
    auto brightness = [&](int f)
    {
        RasterPixel p = ReadPixel(lights.get(), 13, f * 9 + 5);
        return PixelRed(p) + PixelGreen(p) + PixelBlue(p);
    };
    for (int f = 1; f < 30; ++f)
        EXPECT_GT(brightness(f), brightness(f - 1)) << "frame " << f + 1;
}
