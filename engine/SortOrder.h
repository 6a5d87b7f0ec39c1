#pragma once

// The eight "Sort order" choices, each a sort mode for the note list and a
// walk mode for the note order.
namespace quova
{
struct SortOrderChoice
{
    const char* text;
    int sortMode;
    int walkMode;
};

constexpr int kSortOrderCount = 8;

constexpr SortOrderChoice kSortOrders[kSortOrderCount] = {
    {"Lo-Hi", 0, 0},     {"Hi-Lo", 1, 1},     {"As played", 2, 0},     {"Reversed", 3, 0},
    {"Lo-Hi alt", 0, 2}, {"Hi-Lo alt", 1, 3}, {"As played alt", 2, 2}, {"Reversed alt", 3, 2},
};

// The choice, or null outside 0..7.
constexpr const SortOrderChoice* GetSortOrder(int choice)
{
    return choice >= 0 && choice < kSortOrderCount ? &kSortOrders[choice] : nullptr;
}
} // namespace quova
