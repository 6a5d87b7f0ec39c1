#include "gui/IPopupMenu.h"

#include <algorithm>
#include <climits>
#include <new>
#include <unordered_set>
#include <vector>

// ---- IPopupMenuEntry ---------------------------------------------------------------------------

IPopupMenuEntry::IPopupMenuEntry(const char* text, uint32_t flags, bool selectable)
    : text_(text, 128), flags_(flags), selectable_(selectable)
{
}

IPopupMenuEntry::~IPopupMenuEntry()
{
    delete submenu_;
}

bool IPopupMenuEntry::SetSubmenu(IPopupMenu* menu)
{
    if (menu == nullptr || menu->parentEntry_ != nullptr || submenu_ != nullptr) return false;
    submenu_ = menu;
    menu->parentEntry_ = this;
    return true;
}

// ---- IPopupMenu --------------------------------------------------------------------------------

IPopupMenu::IPopupMenu(int32_t idBase) : idBase_(idBase), entries_(128), flat_(128) {}

IPopupMenu::~IPopupMenu()
{
    flat_.Clear();
    entries_.DeleteAll();
}

IPopupMenuEntry* IPopupMenu::AddTextItem(const char* text, int index, uint32_t flags)
{
    IPopupMenuEntry* entry = new (std::nothrow) IPopupMenuEntry(text, flags);
    if (entry == nullptr) return nullptr;
    if (AddItem(entry, index) == nullptr)
    {
        delete entry;
        return nullptr;
    }
    return entry;
}

IPopupMenuEntry* IPopupMenu::AddItem(IPopupMenuEntry* entry, int index)
{
    if (entry == nullptr || entry->owner_ != nullptr) return nullptr;
    const int count = entries_.Count();
    const bool added = index == -1 ? entries_.Add(entry) != nullptr
                                   : entries_.InsertAt(std::clamp(index, 0, count), entry) != nullptr;
    if (!added) return nullptr;
    entry->id_ = idBase_ + entries_.Count();
    entry->owner_ = this;
    if (entry->selectable_) RootMenu()->flat_.Add(entry);
    return entry;
}

IPopupMenuEntry* IPopupMenu::AddSeparator(int index)
{
    return AddTextItem("", index, IPopupMenuEntry::kSeparator);
}

IPopupMenuEntry* IPopupMenu::FindItemById(int32_t id) const
{
    for (int i = 0; i < entries_.Count(); ++i)
    {
        IPopupMenuEntry* entry = entries_.Get(i);
        if (entry->id_ == id) return entry;
        if (entry->submenu_ != nullptr)
        {
            IPopupMenuEntry* found = entry->submenu_->FindItemById(id);
            if (found != nullptr) return found;
        }
    }
    return nullptr;
}

IPopupMenu* IPopupMenu::RootMenu()
{
    IPopupMenu* menu = this;
    while (menu->parentEntry_ != nullptr && menu->parentEntry_->owner_ != nullptr)
        menu = menu->parentEntry_->owner_;
    return menu;
}

int32_t IPopupMenu::HighestItemId() const
{
    bool any = false;
    int32_t highest = INT32_MIN;
    for (int i = 0; i < entries_.Count(); ++i)
    {
        const IPopupMenuEntry* entry = entries_.Get(i);
        highest = std::max(highest, entry->id_);
        any = true;
        if (entry->submenu_ != nullptr && entry->submenu_->CountItems() > 0)
        {
            highest = std::max(highest, entry->submenu_->HighestItemId());
        }
    }
    return any ? highest : 0;
}

int IPopupMenu::IndexWithoutSeparators(int position) const
{
    int separators = 0;
    for (int i = 0; i < position && i < entries_.Count(); ++i)
    {
        if (entries_.Get(i)->HasFlag(IPopupMenuEntry::kSeparator)) ++separators;
    }
    return position - separators;
}

namespace
{

void CollectSelectable(const IPopupMenu* menu, std::vector<IPopupMenuEntry*>& out)
{
    for (int i = 0; i < menu->CountItems(); ++i)
    {
        IPopupMenuEntry* entry = menu->GetItem(i);
        if (entry->IsSelectable()) out.push_back(entry);
        if (entry->GetSubmenu() != nullptr) CollectSelectable(entry->GetSubmenu(), out);
    }
}

} // namespace

void IPopupMenu::SortFlatItemsByMenuOrder()
{
    if (parentEntry_ != nullptr) return;
    std::vector<IPopupMenuEntry*> ordered;
    CollectSelectable(this, ordered);
    // Only the entries the flat list holds (an entry whose listing failed stays out of it).
    std::unordered_set<const IPopupMenuEntry*> listed;
    for (int i = 0; i < flat_.Count(); ++i)
        listed.insert(flat_.Get(i));
    std::erase_if(ordered, [&listed](const IPopupMenuEntry* entry) { return listed.count(entry) == 0; });
    if (static_cast<int>(ordered.size()) != flat_.Count()) return;
    for (int i = 0; i < flat_.Count(); ++i)
        flat_.Set(i, ordered[static_cast<size_t>(i)]);
}

IPopupMenuEntry* IPopupMenu::StepChosenItem(bool forward, bool store)
{
    const int count = flat_.Count();
    if (count == 0) return nullptr;
    int position;
    if (chosen_ >= kFirstSteppedId)
    {
        int k = -1;
        for (int i = 0; i < count; ++i)
        {
            if (flat_.Get(i)->id_ == chosen_)
            {
                k = i;
                break;
            }
        }
        if (k < 0) return nullptr;
        position = forward ? (k == count - 1 ? 0 : k + 1) : (k == 0 ? count - 1 : k - 1);
    }
    else
    {
        position = forward ? 0 : count - 1;
    }
    IPopupMenuEntry* entry = flat_.Get(position);
    if (store) chosen_ = entry->id_;
    return entry;
}

void IPopupMenu::SetPrefixMode(int32_t mode)
{
    if (mode >= kPrefixNone && mode <= kPrefixThreeDigits) prefixMode_ = mode;
}
