// resgen: writes the editor's built-in resources (images, bitmap fonts, skin text, chord table
// and the module's resource list) under an output folder.
//
//     quova_resgen <output root> [<font folder>]
//     quova_resgen --preview <root> <output.png>   (a picture of the editor from written resources)
//
// The output root is normally the repository root; the font folder defaults to the one the
// Debian package fonts-crosextra-carlito installs.
#include "tools/resgen/Generator.h"
#include "tools/resgen/Preview.h"

#include <cstring>

#include <cstdio>

int main(int argc, char** argv)
{
    std::string error;
    if (argc == 4 && std::strcmp(argv[1], "--preview") == 0)
    {
        if (WritePreview(argv[2], argv[3], &error)) return 0;
        std::fprintf(stderr, "resgen: %s\n", error.c_str());
        return 1;
    }
    if (argc < 2 || argc > 3)
    {
        std::fprintf(stderr, "usage: %s <output root> [<font folder>]\n", argv[0]);
        return 2;
    }
    GeneratorOptions options{argv[1], argc == 3 ? argv[2] : kDefaultFontFolder};
    if (!GenerateResources(options, &error))
    {
        std::fprintf(stderr, "resgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
