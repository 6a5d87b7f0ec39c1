// The hand of a person at the command-line host's editor, for the README test: waits for the
// host's window (named "quova_host"), clicks the given points of it through XTest, one after
// another, and closes it as a window manager would. Exit status 0 when it clicked and closed,
// 1 when no such window came, 2 for a bad command line.
//   editor_hand X,Y [X,Y ...]
#include "tests/platform/x11/XTestSupport.h"

#include <cstdio>

namespace
{
// The 5 x 5 pixels of the window around a point, as the server shows them.
std::vector<uint32_t> Patch(quova::xtest::XClient& client, Window w, const quova::xtest::RootPoint& p)
{
    std::vector<uint32_t> all = client.Read(w, p.x + 3, p.y + 3);
    std::vector<uint32_t> patch;
    if (all.size() != size_t(p.x + 3) * size_t(p.y + 3)) return patch;
    for (int y = p.y - 2; y <= p.y + 2; ++y)
        for (int x = p.x - 2; x <= p.x + 2; ++x)
            if (x >= 0 && y >= 0) patch.push_back(all[size_t(y) * size_t(p.x + 3) + size_t(x)]);
    return patch;
}
} // namespace

int main(int argc, char** argv)
{
    std::vector<quova::xtest::RootPoint> points;
    for (int i = 1; i < argc; ++i)
    {
        quova::xtest::RootPoint p;
        if (std::sscanf(argv[i], "%d,%d", &p.x, &p.y) != 2)
        {
            std::fprintf(stderr, "editor_hand: %s is not a point X,Y\n", argv[i]);
            return 2;
        }
        points.push_back(p);
    }
    if (points.empty())
    {
        std::fprintf(stderr, "usage: editor_hand X,Y [X,Y ...]\n");
        return 2;
    }
    if (!quova::xtest::ServerAvailable())
    {
        std::fprintf(stderr, "editor_hand: no X server (DISPLAY)\n");
        return 2;
    }

    quova::xtest::XClient client;
    Window window = 0;
    quova::xtest::Within(30000, [&] { return (window = client.TopLevelNamed("quova_host")) != 0; });
    if (window == 0)
    {
        std::fprintf(stderr, "editor_hand: no window named quova_host appeared within 30 s\n");
        return 1;
    }
    // The plug-in's editor is a child of the host's window.
    if (!quova::xtest::Within(30000, [&] { return !client.Children(window).empty(); }))
    {
        std::fprintf(stderr, "editor_hand: the quova_host window showed no editor within 30 s\n");
        return 1;
    }
    // Time for the editor's first paints, as a person would take to look.
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    for (const quova::xtest::RootPoint& p : points)
    {
        // A person sees the cell change before going on: on a busy machine the host could
        // otherwise take the close before the editor took the clicks.
        client.MoveTo(window, p.x, p.y);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const std::vector<uint32_t> before = Patch(client, window, p);
        client.Button(Button1, true);
        client.Button(Button1, false);
        if (!quova::xtest::Within(10000, [&] { return Patch(client, window, p) != before; }))
            std::fprintf(stderr, "editor_hand: the click at %d,%d changed nothing on the screen\n", p.x, p.y);
    }
    client.AskToClose(window);
    return 0;
}
