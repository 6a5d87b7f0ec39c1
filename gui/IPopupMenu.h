// IPopupMenu: the platform-neutral model of a popup menu: a tree of IPopupMenuEntry records (text,
// optional submenu, flags, command id) and the id of the entry the user chose. The window layer
// turns it into a native menu and stores the choice with SetChosenIndex.
//
// Ids: an entry added to a menu gets id = idBase + the menu's entry count after adding, so the
// first entry of a menu with idBase 0 has id 1. Selectable entries are also listed, in the order
// they were added, in the root menu's flat list, through which StepChosenItem walks.
//
// Ownership: a menu owns its entries; an entry owns its submenu and its text. The flat list owns
// nothing. Not thread-safe. Non-copyable.
#pragma once

#include <cstdint>

#include "framework/IString.h"
#include "framework/PtrList.h"

class IPopupMenu;

class IPopupMenuEntry
{
public:
    enum Flags : uint32_t
    {
        kDisabled = 1,
        kTitle = 2,
        kChecked = 4,
        kSeparator = 8
    };

    // An entry with the text (null gives "") and flags; selectable entries are listed in the root
    // menu's flat list when added.
    explicit IPopupMenuEntry(const char* text, uint32_t flags = 0, bool selectable = false);
    // Deletes the submenu.
    ~IPopupMenuEntry();
    IPopupMenuEntry(const IPopupMenuEntry&) = delete;
    IPopupMenuEntry& operator=(const IPopupMenuEntry&) = delete;

    const char* GetText() const { return text_.Get(); }
    void SetText(const char* text) { text_.Set(text); }
    uint32_t GetFlags() const { return flags_; }
    void SetFlags(uint32_t flags) { flags_ = flags; }
    bool HasFlag(uint32_t flag) const { return (flags_ & flag) != 0; }
    int32_t GetId() const { return id_; }
    bool IsSelectable() const { return selectable_; }
    void SetSelectable(bool selectable) { selectable_ = selectable; }
    // The menu that holds the entry; null until it is added to one.
    IPopupMenu* GetOwner() const { return owner_; }
    IPopupMenu* GetSubmenu() const { return submenu_; }

    // The entry takes menu as its submenu (owned) and becomes the menu's parent entry. Attach a
    // submenu before filling it, so its selectable entries reach the root's flat list. Refused
    // (false, nothing owned) when menu is null, already has a parent entry, or the entry already
    // has a submenu: replacing one would leave the root's flat list pointing into a deleted menu.
    bool SetSubmenu(IPopupMenu* menu);

private:
    friend class IPopupMenu;

    IString text_;
    IPopupMenu* submenu_ = nullptr;
    uint32_t flags_;
    int32_t id_ = 0;
    bool selectable_;
    IPopupMenu* owner_ = nullptr;
};

class IPopupMenu
{
public:
    // Text put before each entry when shown: none, "%1d: ", "%02d: " or "%03d: " of its 1-based
    // position in its menu.
    enum PrefixMode : int32_t
    {
        kPrefixNone = 0,
        kPrefixOneDigit = 1,
        kPrefixTwoDigits = 2,
        kPrefixThreeDigits = 3
    };
    // Ids from this one on are stepped through by StepChosenItem; a chosen id below it counts as
    // nothing chosen yet.
    static constexpr int32_t kFirstSteppedId = 1000;

    explicit IPopupMenu(int32_t idBase = 0);
    // Deletes every entry from the last to the first (each entry deletes its submenu).
    virtual ~IPopupMenu();
    IPopupMenu(const IPopupMenu&) = delete;
    IPopupMenu& operator=(const IPopupMenu&) = delete;

    // A new entry with the text and flags, added with AddItem; null when it could not be added.
    virtual IPopupMenuEntry* AddTextItem(const char* text, int index = -1, uint32_t flags = 0);
    // Inserts entry at index (clamped to 0..count), or appends it when index is -1; sets its id and
    // owner; a selectable entry is appended to the root menu's flat list. The menu owns the entry
    // from then on. Returns entry, or null (entry not taken) when entry is null, already belongs to
    // a menu, or the list could not grow.
    virtual IPopupMenuEntry* AddItem(IPopupMenuEntry* entry, int index = -1);
    // An entry with empty text and the separator flag, added with AddItem.
    virtual IPopupMenuEntry* AddSeparator(int index = -1);

    int CountItems() const { return entries_.Count(); }
    // The entry at position i; null outside 0..CountItems()-1.
    IPopupMenuEntry* GetItem(int i) const { return entries_.Get(i); }
    // Depth first: each entry, then its submenu; null when no entry has the id.
    IPopupMenuEntry* FindItemById(int32_t id) const;
    // The outermost menu above this one (this one for a root menu).
    IPopupMenu* RootMenu();
    // The largest id in the tree; 0 when the tree has no entries.
    int32_t HighestItemId() const;
    // Position minus the number of separators before it in this menu.
    int IndexWithoutSeparators(int position) const;

    // The chosen command id; -1 after construction.
    int32_t GetChosenIndex() const { return chosen_; }
    void SetChosenIndex(int32_t id) { chosen_ = id; }
    // On a root menu: the flat-list entry after (forward) or before the chosen one, wrapping around;
    // the first (forward) or last flat entry when the chosen id is below kFirstSteppedId. Null when
    // the flat list is empty or no flat entry has the chosen id; with store the found entry's id
    // becomes the chosen id.
    IPopupMenuEntry* StepChosenItem(bool forward, bool store);

    int32_t GetIdBase() const { return idBase_; }
    void SetIdBase(int32_t idBase) { idBase_ = idBase; }
    int32_t GetPrefixMode() const { return prefixMode_; }
    // Takes modes 0..3; others are ignored.
    void SetPrefixMode(int32_t mode);
    IPopupMenuEntry* GetParentEntry() const { return parentEntry_; }
    // On a root menu: puts the flat list in the order its entries show in the menus (depth first:
    // each entry, then its submenu), after entries were inserted rather than appended. The list
    // keeps the same entries; nothing changes on a submenu.
    void SortFlatItemsByMenuOrder();
    // The root menu's list of selectable entries (empty in submenus).
    int CountFlatItems() const { return flat_.Count(); }
    IPopupMenuEntry* GetFlatItem(int i) const { return flat_.Get(i); }

private:
    friend class IPopupMenuEntry;

    IPopupMenuEntry* parentEntry_ = nullptr;
    int32_t idBase_;
    int32_t prefixMode_ = kPrefixNone;
    int32_t chosen_ = -1;
    PtrList<IPopupMenuEntry> entries_;
    PtrList<IPopupMenuEntry> flat_;
};
