// The categories of pattern presets: the "Type" list of the save dialog and the names of the
// category folders under the user preset folder.
#pragma once

inline constexpr int kPresetCategoryCount = 4;
inline constexpr const char* kPresetCategoryNames[kPresetCategoryCount] = {"1 bass", "2 lead", "3 rhythm",
                                                                           "4 misc"};

// The category's name; indices outside 0..3 (a list with no selection) give the first category.
inline const char* PresetCategoryName(int category)
{
    return kPresetCategoryNames[category >= 0 && category < kPresetCategoryCount ? category : 0];
}
