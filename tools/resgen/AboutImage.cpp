// The about card shown over the editor: the name and a short description on a dark card, and a
// light footer that carries the version text (drawn by the editor in black) on the left and the
// link to the maker's site on the right.
#include "tools/resgen/ImageCatalog.h"
#include "tools/resgen/SkinLayout.h"

namespace
{
using namespace palette;
}

std::unique_ptr<ImageCanvas> PaintAbout(const ArtKit& kit, int, int, int width, int height)
{
    auto c = std::make_unique<ImageCanvas>(width, height, kButtonEdge);
    RasterRect card = SkinRect(167);
    RasterRect version = SkinRect(21), link = SkinRect(165);
    int footer = version.top - card.top - 8;

    c->FillGradient(RoundedBox(1, 1, width - 1, height - 1, 0), Rgb(40, 46, 54), Rgb(24, 27, 32), 0, height);
    c->FillRect(0, 0, width, 1, kPanelBorder);
    c->FillRect(0, height - 1, width, 1, kPanelBorder);
    c->FillRect(0, 0, 1, height, kPanelBorder);
    c->FillRect(width - 1, 0, 1, height, kPanelBorder);
    c->FillRect(1, 1, width - 2, 3, kAccent);

    for (int i = 0; i < 4; ++i)
    {
        double h = 10.0 + 7.0 * i;
        c->Fill(RoundedBox(32 + 10 * i, 96 - h, 38 + 10 * i, 96, 2.0), i == 3 ? kAccentLight : kAccent);
    }
    c->Text(kit.banner, "QUOVA", 80, 96, kText);
    c->Text(kit.title, "STEP-PATTERN MIDI ARPEGGIATOR", 32, 126, kAccentLight);
    c->Text(kit.body, "Four key areas, twelve patterns of thirty-two steps,", 32, 156, Rgb(176, 186, 198));
    c->Text(kit.body, "seventeen lanes, scenes and a sixteen-slot chord memory.", 32, 174,
            Rgb(176, 186, 198));
    c->Text(kit.label, "CLICK ANYWHERE TO CLOSE", 32, 202, kLabel);

    c->FillGradient(RoundedBox(1, footer, width - 1, height - 1, 0), Rgb(214, 220, 228), Rgb(190, 198, 208),
                    footer, height);
    int linkBaseline = link.top - card.top + 15;
    c->Text(kit.button, "Visit website", link.right - card.left - 8, linkBaseline, kAccentDark,
            TextAlign::Right);
    c->FillRect(link.right - card.left - 8 - kit.button.Measure("Visit website"), linkBaseline + 2,
                kit.button.Measure("Visit website"), 1, kAccentDark);
    return c;
}
