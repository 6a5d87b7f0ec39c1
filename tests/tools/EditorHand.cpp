// The hand of a person at the command-line host's editor, for the README test: waits for the
// host's window (named "quova_host"), clicks the given points of it through XTest, one after
// another, and closes it as a window manager would. Exit status 0 when it clicked and closed,
// 1 when no such window came, 2 for a bad command line.
//   editor_hand X,Y [X,Y ...]
#include "tests/platform/x11/XTestSupport.h"

#include <cstdio>
#include <cstring>

namespace
{
bool IsHostWindow(quova::xtest::XClient& client, Window w)
{
    char* name = nullptr;
    const bool named = XFetchName(client.display(), w, &name) && name != nullptr;
    const bool host = named && std::strcmp(name, "quova_host") == 0;
    if (name != nullptr) XFree(name);
    XWindowAttributes a{};
    return host && XGetWindowAttributes(client.display(), w, &a) && a.map_state == IsViewable;
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
    quova::xtest::Within(30000,
                         [&]
                         {
                             for (Window w : client.Children(DefaultRootWindow(client.display())))
                                 if (IsHostWindow(client, w)) window = w;
                             return window != 0;
                         });
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
        client.Click(window, p.x, p.y);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    client.AskToClose(window);
    return 0;
}
