#include "gui/ITextStyle.h"

#include <cstring>

ITextStyle::ITextStyle(const char* faceName, int32_t sizeInPixels, const IColorARGB& textColour)
    : size(sizeInPixels), colour(textColour)
{
    SetFace(faceName);
}

void ITextStyle::SetFace(const char* faceName)
{
    if (faceName == nullptr) return;
    std::strncpy(face, faceName, kFaceSize - 1);
    face[kFaceSize - 1] = 0;
    font = nullptr;
}
