// The skin text: rectangles by position, repeats, comments, any bytes.
#include "plugin/SkinLayout.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SkinLayout layout;
    AppendSkinText(&layout, std::string_view(reinterpret_cast<const char*>(data), size));
    for (int i = -1; i <= layout.Size(); ++i)
        (void)layout.At(i);
    return 0;
}
