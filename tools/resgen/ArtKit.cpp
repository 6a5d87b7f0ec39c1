#include "tools/resgen/ArtKit.h"

std::string RegularFace(const std::string& fontFolder)
{
    return fontFolder + "/Carlito-Regular.ttf";
}
std::string BoldFace(const std::string& fontFolder)
{
    return fontFolder + "/Carlito-Bold.ttf";
}

bool ArtKit::Load(const std::string& fontFolder, std::string* error)
{
    std::string bold = BoldFace(fontFolder);
    return label.Load(bold, 10, error) && small.Load(bold, 9, error) && button.Load(bold, 11, error) &&
           title.Load(bold, 12, error) && body.Load(RegularFace(fontFolder), 13, error) &&
           logo.Load(bold, 28, error) && banner.Load(bold, 44, error);
}
