#include "gui/BlendMethod.h"

namespace
{

// The raster library's mode word: the operator in the low byte (0 copy, 1 add, 2 colour dodge)
// and bit 16 to weight every pixel by the source pixel's alpha.
constexpr uint32_t kOperatorCopy = 0;
constexpr uint32_t kOperatorAdd = 1;
constexpr uint32_t kOperatorDodge = 2;
constexpr uint32_t kSourceAlpha = 0x10000;

} // namespace

uint32_t IBlendSpec::RasterMode() const
{
    switch (method)
    {
    case kMethodCopy:
        return kOperatorCopy;
    case kMethodAdd:
        return kOperatorAdd | kSourceAlpha;
    case kMethodDodge:
        return kOperatorDodge | kSourceAlpha;
    default:
        return kOperatorCopy | kSourceAlpha;
    }
}
