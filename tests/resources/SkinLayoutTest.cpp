// The committed skin text read by the plug-in's rules: 169 rectangles ending with the whole
// editor, each control's rectangle sized to its image, the step grid's neighbours aligned with
// its 24-pixel columns and its fixed indicator positions, the compact view holding the main
// controls, and no two controls on top of each other unless they are meant to share a place.
#include "tests/resources/ResourceFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace
{
std::vector<RasterRect> Skin()
{
    std::optional<std::string> text = ReadFileBytes(SourceRoot() + "/resources/skin/Quova.skin");
    return text ? ParseSkin(*text) : std::vector<RasterRect>{};
}

struct FrameSize
{
    int width = 0, height = 0;
};

// Frame size of a listed image (by resource id), read from the committed PNG.
FrameSize ImageFrame(int id)
{
    static const std::map<int, std::pair<const char*, int>> kImages = {
        {102, {"ptnviewStepOnoff_23x13.png", 2}},
        {104, {"ptnview_63x15.png", 2}},
        {105, {"About.png", 1}},
        {106, {"freebutton_38x19.png", 2}},
        {107, {"buttonOnOff_27x23.png", 2}},
        {108, {"bipolar_knob_with_ring_127frames.png", 127}},
        {109, {"unipolar_knob_with_ring_127frames.png", 127}},
        {111, {"button_27x23.png", 2}},
        {112, {"incomingnote_27x9_30frames.png", 30}},
        {122, {"boxbuttonLeft_27x14.png", 2}},
        {123, {"resizebutton_15x11.png", 2}},
        {124, {"boxbuttonOK_27x14.png", 2}},
        {125, {"boxbuttonRight_27x14.png", 2}},
        {126, {"boxbuttonInfo_30x14.png", 2}},
        {127, {"buttonTeach_27x23.png", 2}},
        {128, {"editClear_33x27.png", 2}},
        {129, {"editCopy_33x27.png", 2}},
        {130, {"editDraw_33x27.png", 2}},
        {131, {"editPaste_33x27.png", 2}},
        {132, {"editRand_33x27.png", 2}},
        {133, {"editSelect_33x27.png", 2}},
        {134, {"lockbutton_21x21.png", 2}},
        {135, {"panicbutton_29x19.png", 2}},
        {136, {"SbuttonLeft_23x21.png", 2}},
        {137, {"SbuttonRight_23x21.png", 2}},
        {138, {"Sbutton_23x21.png", 2}},
        {143, {"ptnviewCC_19x15.png", 2}},
        {146, {"unipolar_knob_with_ring_5frames.png", 5}},
        {147, {"bipolar_knob_with_ring_25frames.png", 25}},
        {148, {"unipolar_knob_with_ring_23frames.png", 23}},
        {151, {"boxbuttonSettings_48x14.png", 2}},
    };
    auto it = kImages.find(id);
    if (it == kImages.end()) return {};
    std::unique_ptr<RasterBitmap> image =
        LoadCheckoutPng(std::string("resources/images/") + it->second.first);
    if (!image) return {};
    return {image->Width(), image->Height() / it->second.second};
}

bool Holds(RasterRect r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool Overlap(RasterRect a, RasterRect b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Button i of a horizontal radio group of n buttons of frame w x h laid out over rect.
RasterRect RadioButton(RasterRect rect, int n, FrameSize frame, int i)
{
    int gap = (rect.right - frame.width * n - rect.left) / (n - 1);
    int x = rect.left + i * (frame.width + gap);
    return {x, rect.top, x + frame.width, rect.top + frame.height};
}

// A 3 x 3 indicator dot at (x, y) lies wholly in r.
bool DotIn(RasterRect r, int x, int y)
{
    return Holds(r, x, y) && Holds(r, x + 2, y + 2);
}
} // namespace

TEST(Skin, HasOneRectanglePerPositionEndingWithTheWholeEditor)
{
    std::vector<RasterRect> skin = Skin();
    ASSERT_EQ(skin.size(), 169u);
    RasterRect last = skin.back();
    EXPECT_EQ(last.left, 0);
    EXPECT_EQ(last.top, 0);
    EXPECT_EQ(last.right, 1000);
    EXPECT_EQ(last.bottom, 565);
    for (size_t i = 0; i < skin.size(); ++i)
    {
        RasterRect r = skin[i];
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= 1000 && r.bottom <= 565) << "position " << i;
        EXPECT_TRUE(r.right >= r.left && r.bottom >= r.top) << "position " << i;
        EXPECT_TRUE(i == 164 || (r.right > r.left && r.bottom > r.top)) << "position " << i << " is empty";
    }
}

TEST(Skin, ControlsPlacedAtARectangleTakeTheirImageSize)
{
    // Controls built at a rectangle's corner draw their image's size there; the rectangle says
    // where the background leaves room for them.
    const std::pair<int, int> placed[] = {
        {0, 109},   {1, 148},   {2, 109},   {4, 109},   {5, 146},   {6, 147},   {7, 108},
        {8, 109},   {129, 130}, {130, 133}, {131, 132}, {132, 129}, {133, 131}, {134, 128},
        {135, 135}, {136, 122}, {137, 125}, {140, 126}, {141, 151}, {156, 123}, {158, 134},
        {159, 134}, {160, 134}, {161, 134}, {162, 134}, {146, 122}, {147, 125}, {148, 129},
        {149, 131}, {150, 128}, {151, 124}, {152, 137}, {153, 136}, {167, 105},
    };
    std::vector<RasterRect> skin = Skin();
    ASSERT_EQ(skin.size(), 169u);
    for (auto [position, id] : placed)
    {
        FrameSize f = ImageFrame(id);
        RasterRect r = skin[static_cast<size_t>(position)];
        EXPECT_EQ(r.right - r.left, f.width) << "position " << position << ", image " << id;
        EXPECT_EQ(r.bottom - r.top, f.height) << "position " << position << ", image " << id;
    }
}

TEST(Skin, ImageSwitchesOnARectangleAreExactlyOneFrameHigh)
{
    // A switch drawn over its whole rectangle would show rows of its next frame if the
    // rectangle were taller than a frame.
    const std::pair<int, int> switches[] = {{3, 106},  {9, 107},  {10, 107}, {11, 107},  {12, 107},
                                            {13, 107}, {14, 107}, {16, 107}, {125, 107}, {26, 127},
                                            {26, 111}, {27, 112}, {30, 112}, {37, 102},  {68, 102}};
    std::vector<RasterRect> skin = Skin();
    ASSERT_EQ(skin.size(), 169u);
    for (auto [position, id] : switches)
    {
        FrameSize f = ImageFrame(id);
        RasterRect r = skin[static_cast<size_t>(position)];
        EXPECT_EQ(r.bottom - r.top, f.height) << "position " << position;
        EXPECT_GE(r.right - r.left, f.width) << "position " << position;
    }
}

TEST(Skin, RadioGroupsAreEvenRowsOfWholeButtons)
{
    const struct
    {
        int position, count, image;
    } groups[] = {{17, 4, 111}, {69, 9, 104}, {123, 12, 111}, {126, 16, 138}, {154, 8, 143}};
    std::vector<RasterRect> skin = Skin();
    ASSERT_EQ(skin.size(), 169u);
    for (const auto& g : groups)
    {
        FrameSize f = ImageFrame(g.image);
        RasterRect r = skin[static_cast<size_t>(g.position)];
        EXPECT_EQ(r.bottom - r.top, f.height) << "position " << g.position;
        int room = r.right - r.left - f.width * g.count;
        EXPECT_GE(room, 0) << "position " << g.position << ": the buttons do not fit";
        EXPECT_EQ(room % (g.count - 1), 0) << "position " << g.position << ": uneven gaps";
        EXPECT_EQ(RadioButton(r, g.count, f, g.count - 1).right, r.right) << "position " << g.position;
    }
}

TEST(Skin, StepGridNeighboursFollowItsColumnsAndIndicators)
{
    std::vector<RasterRect> skin = Skin();
    ASSERT_EQ(skin.size(), 169u);
    RasterRect grid = skin[36];
    EXPECT_GE(grid.right - grid.left, 32 * 24 + 1);
    EXPECT_EQ(grid.bottom - grid.top, 111) << "the bars and cells span 111 rows";
    EXPECT_LE(grid.bottom, 403) << "bars are clipped at row 403";

    // Step switch t and the loop markers cover column t (21 pixels from left + 1 + 24t).
    FrameSize step = ImageFrame(102);
    RasterRect loop = skin[124];
    for (int t = 0; t < 32; ++t)
    {
        int column = grid.left + 1 + 24 * t;
        RasterRect s = skin[static_cast<size_t>(37 + t)];
        EXPECT_LE(s.left, column) << "step " << t;
        EXPECT_GE(s.left + step.width, column + 21) << "step " << t;
        EXPECT_LE(loop.left + 24 * t, column) << "loop column " << t;
        EXPECT_GE(loop.left + 24 * t + 23, column + 21) << "loop column " << t;
    }
    EXPECT_GE(loop.bottom - loop.top, 15);
    EXPECT_LE(loop.bottom, grid.top);
    EXPECT_GE(loop.top, grid.top - 21) << "the strip lies in the grid's column hit band";

    // The grid draws lane dots on the lane buttons, edit dots on the pattern buttons, and the
    // controller-lane dots at fixed positions on the controller buttons.
    for (int i = 0; i < 9; ++i)
    {
        RasterRect button = RadioButton(skin[69], 9, ImageFrame(104), i);
        EXPECT_TRUE(DotIn(button, grid.left + 2 + 64 * i, grid.top - 33)) << "lane " << i;
        EXPECT_TRUE(DotIn(button, grid.left + 2 + 64 * i + 57, grid.top - 33)) << "lane " << i;
    }
    for (int j = 0; j < 8; ++j)
    {
        RasterRect button = RadioButton(skin[154], 8, ImageFrame(143), j);
        EXPECT_TRUE(DotIn(button, 648 + 20 * j, 256)) << "controller lane " << j;
        EXPECT_TRUE(DotIn(button, 662 + 20 * j, 256)) << "controller lane " << j;
    }
    for (int p = 0; p < 12; ++p)
    {
        RasterRect button = RadioButton(skin[123], 12, ImageFrame(111), p);
        EXPECT_TRUE(DotIn(button, grid.left + 1 + 76 + 32 * p, grid.top - 54)) << "pattern " << p;
    }
}

TEST(Skin, SceneCellsLineUpWithTheSceneStripAndTheKeyboardFits)
{
    std::vector<RasterRect> skin = Skin();
    ASSERT_EQ(skin.size(), 169u);
    RasterRect strip = skin[118];
    EXPECT_GE(strip.right - strip.left, 2 + 16 * 18);
    for (int row = 0; row < 3; ++row)
        for (int k = 0; k < 16; ++k)
        {
            RasterRect cell = skin[static_cast<size_t>(70 + 16 * row + k)];
            int stripCentre2 = 2 * (strip.left + 18 * k + 2) + 17;
            EXPECT_NEAR(cell.left + cell.right, stripCentre2, 2) << "row " << row << " cell " << k;
            EXPECT_LE(cell.bottom, strip.top) << "the strip lies under the scene rows";
        }
    RasterRect keyboard = skin[127];
    EXPECT_GE(keyboard.right - keyboard.left, 36 * 16);
    EXPECT_GE(keyboard.bottom - keyboard.top, 45);
}

TEST(Skin, AboutPartsLieOnTheAboutImage)
{
    std::vector<RasterRect> skin = Skin();
    ASSERT_EQ(skin.size(), 169u);
    RasterRect about = skin[167];
    for (int position : {21, 165})
    {
        RasterRect r = skin[static_cast<size_t>(position)];
        EXPECT_TRUE(r.left >= about.left && r.right <= about.right && r.top >= about.top &&
                    r.bottom <= about.bottom)
            << "position " << position;
    }
}

TEST(Skin, CompactViewKeepsEverythingButScenesAndChordMemory)
{
    std::set<int> lower{118, 126, 127};
    for (int p = 70; p <= 117; ++p)
        lower.insert(p);
    for (int p = 143; p <= 153; ++p)
        lower.insert(p);
    const std::set<int> overlays{21, 157, 163, 165, 167, 168};
    std::vector<RasterRect> skin = Skin();
    ASSERT_EQ(skin.size(), 169u);
    for (int p = 0; p < 169; ++p)
    {
        if (overlays.count(p)) continue;
        RasterRect r = skin[static_cast<size_t>(p)];
        EXPECT_TRUE(lower.count(p) ? r.top >= 432 : r.bottom <= 432) << "position " << p;
    }
}

TEST(Skin, ControlsDoNotCoverEachOther)
{
    // Places meant to be shared: the rate knob and the free-rate knob (1, 2); the unused
    // positions that name a neighbour's place (119, 142, 143, 164); overlays shown on demand
    // (21, 157, 163, 165, 167) and the background (168).
    const std::set<int> skip{2, 119, 142, 143, 164, 21, 157, 163, 165, 167, 168};
    std::vector<RasterRect> skin = Skin();
    ASSERT_EQ(skin.size(), 169u);
    for (int a = 0; a < 169; ++a)
        for (int b = a + 1; b < 169; ++b)
            EXPECT_TRUE(skip.count(a) || skip.count(b) ||
                        !Overlap(skin[static_cast<size_t>(a)], skin[static_cast<size_t>(b)]))
                << "positions " << a << " and " << b << " overlap";
}
