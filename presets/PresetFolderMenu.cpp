#include "presets/PresetFolderMenu.h"

#include <Poco/Exception.h>
#include <Poco/File.h>
#include <Poco/Path.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <tuple>
#include <vector>

#include "gui/IPopupMenu.h"
#include "presets/IndexChangedListener.h"
#include "presets/PresetCategories.h"
#include "presets/PresetNames.h"

namespace
{

std::string WithoutTrailingSlash(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

bool MakeFolder(const std::string& folder)
{
    try
    {
        Poco::File directory(folder);
        if (!directory.exists()) directory.createDirectories();
        return directory.isDirectory();
    }
    catch (const Poco::Exception&)
    {
        return false;
    }
}

// A name as it is sorted: ASCII letters in lower case (whatever the process's locale), other bytes
// as they are.
std::string Folded(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

// The order of a folder's entries: sub-folders first, then by the shown name without regard to
// case; names that differ only in case, and files of one name with two extensions, by their bytes.
struct SortKey
{
    bool file;
    std::string folded;
    std::string shown;
    std::string fileName;

    bool operator<(const SortKey& other) const
    {
        return std::tie(file, folded, shown, fileName) <
               std::tie(other.file, other.folded, other.shown, other.fileName);
    }
};

SortKey KeyOf(const std::string& shown, bool file, const std::string& fileName)
{
    return SortKey{file, Folded(shown), shown, fileName};
}

// Where an entry with this key goes among the entries of menu (kept in order).
int SortedPosition(const IPopupMenu* menu, const SortKey& key)
{
    for (int i = 0; i < menu->CountItems(); ++i)
    {
        const IPopupMenuEntry* entry = menu->GetItem(i);
        const std::string text = entry->GetText();
        if (key < KeyOf(text, entry->GetSubmenu() == nullptr, text)) return i;
    }
    return menu->CountItems();
}

} // namespace

PresetFolderMenu::PresetFolderMenu(const std::string& rootFolder, const std::string& streamExtension,
                                   const std::string& compressedExtension, bool hasInit,
                                   IndexChangedListener* listener)
    : rootFolder_(rootFolder), streamExtension_(streamExtension), compressedExtension_(compressedExtension),
      hasInit_(hasInit), root_(std::make_unique<IPopupMenu>()), listener_(listener)
{
    if (!rootFolder_.empty() && rootFolder_.back() != '/') rootFolder_ += '/';
    if (hasInit_) root_->AddTextItem("Init");
    // The blank line between "Init" and the folders is a separator, so it cannot be chosen.
    root_->AddSeparator();
    factory_ = AddFolderEntry(root_.get(), "Factory");
    user_ = AddFolderEntry(root_.get(), "User");
    if (rootFolder_.empty()) return;
    if (factory_ != nullptr) ScanFolder(rootFolder_ + "Factory", factory_);
    if (user_ != nullptr) ScanFolder(rootFolder_ + "User", user_);
}

PresetFolderMenu::~PresetFolderMenu() = default;

IPopupMenu* PresetFolderMenu::AddFolderEntry(IPopupMenu* menu, const std::string& text, int index)
{
    IPopupMenuEntry* entry = menu->AddTextItem(text.c_str(), index);
    if (entry == nullptr) return nullptr;
    auto* submenu = new IPopupMenu();
    if (!entry->SetSubmenu(submenu))
    {
        delete submenu;
        return nullptr;
    }
    return submenu;
}

IPopupMenuEntry* PresetFolderMenu::AddFileEntry(IPopupMenu* submenu, const std::string& text,
                                                const std::string& path, int index)
{
    auto* entry = new IPopupMenuEntry(text.c_str(), 0, true);
    // AddItem numbers an entry idBase + its position; shift the base so this entry gets the next
    // file id, then put the base back for the folder entries that may follow.
    const int32_t base = submenu->GetIdBase();
    submenu->SetIdBase(static_cast<int32_t>(nextEntryId_) - (submenu->CountItems() + 1));
    IPopupMenuEntry* added = submenu->AddItem(entry, index);
    submenu->SetIdBase(base);
    if (added == nullptr)
    {
        delete entry;
        return nullptr;
    }
    ++nextEntryId_;
    paths_[entry] = path;
    return entry;
}

bool PresetFolderMenu::IsListedExtension(const std::string& extension) const
{
    return (!streamExtension_.empty() && extension == streamExtension_) ||
           (!compressedExtension_.empty() && extension == compressedExtension_);
}

void PresetFolderMenu::ScanFolder(const std::string& folderPath, IPopupMenu* submenu)
{
    const std::string folder = WithoutTrailingSlash(folderPath);
    try
    {
        Poco::File directory(folder);
        if (!directory.exists())
        {
            directory.createDirectories();
            return;
        }
    }
    catch (const Poco::Exception&)
    {
        return;
    }
    if (listed_.Enter(folder)) ListFolder(folder, submenu, 0);
}

void PresetFolderMenu::ListFolder(const std::string& folder, IPopupMenu* submenu, int depth)
{
    std::vector<std::string> names;
    try
    {
        Poco::File(folder).list(names);
    }
    catch (const Poco::Exception&)
    {
        return;
    }
    struct Listed
    {
        SortKey key;
        std::string path;
    };
    std::vector<Listed> listed;
    for (const std::string& name : names)
    {
        const std::string path = folder + "/" + name;
        try
        {
            Poco::File file(path);
            if (file.isDirectory())
            {
                listed.push_back(Listed{KeyOf(name, false, name), path});
            }
            else if (file.isFile())
            {
                const Poco::Path parsed(path);
                const std::string base = parsed.getBaseName();
                std::string extension = ".";
                extension += parsed.getExtension();
                if (!base.empty() && IsListedExtension(extension))
                    listed.push_back(Listed{KeyOf(base, true, name), path});
            }
        }
        catch (const Poco::Exception&)
        {
            // A dangling link or an entry removed during the scan: not listed.
        }
    }
    // The listing comes in the file system's order; the menu shows the entries in name order.
    std::sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) { return a.key < b.key; });
    for (const Listed& entry : listed)
    {
        if (entry.key.file)
        {
            AddFileEntry(submenu, entry.key.shown, entry.path);
            continue;
        }
        if (depth >= kMaxFolderDepth || !listed_.Enter(entry.path)) continue;
        IPopupMenu* child = AddFolderEntry(submenu, entry.key.shown);
        if (child != nullptr) ListFolder(entry.path, child, depth + 1);
    }
}

std::string PresetFolderMenu::PathOf(const IPopupMenuEntry* entry) const
{
    const auto found = paths_.find(entry);
    return found != paths_.end() ? found->second : std::string();
}

IPopupMenuEntry* PresetFolderMenu::FindEntryByPath(const std::string& path) const
{
    for (const auto& [entry, entryPath] : paths_)
    {
        if (entryPath == path) return const_cast<IPopupMenuEntry*>(entry);
    }
    return nullptr;
}

IPopupMenuEntry* PresetFolderMenu::SaveToUserFolder(const std::string& name, int category,
                                                    const IStateChunk* chunk)
{
    if (rootFolder_.empty() || listener_ == nullptr || user_ == nullptr) return nullptr;
    const std::string vetted = IsValidPresetName(name);
    std::string folder = rootFolder_ + "User/";
    const char* categoryName = category >= 0 ? PresetCategoryName(category) : nullptr;
    if (categoryName != nullptr) folder += std::string(categoryName) + "/";
    if (!MakeFolder(WithoutTrailingSlash(folder))) return nullptr;
    const std::string path = folder + vetted + (hasInit_ ? compressedExtension_ : streamExtension_);

    bool written = false;
    if (hasInit_)
    {
        written = listener_->WriteCompressedFile(path, chunk);
    }
    else
    {
        // Raw files go to a temporary file first, which replaces the old file only when complete.
        const std::string temporary = path + ".tmp";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            written = out.is_open() && listener_->WriteToStream(out, chunk);
            out.close();
            written = written && !out.fail();
        }
        if (written && std::rename(temporary.c_str(), path.c_str()) != 0) written = false;
        if (!written) std::remove(temporary.c_str());
    }
    if (!written) return nullptr;

    if (IPopupMenuEntry* existing = FindEntryByPath(path)) return existing;
    IPopupMenu* submenu = user_;
    if (categoryName != nullptr)
    {
        IPopupMenu* found = nullptr;
        for (int i = 0; i < user_->CountItems() && found == nullptr; ++i)
        {
            IPopupMenuEntry* entry = user_->GetItem(i);
            if (entry->GetSubmenu() != nullptr && std::string(entry->GetText()) == categoryName)
                found = entry->GetSubmenu();
        }
        if (found == nullptr)
            found = AddFolderEntry(user_, categoryName,
                                   SortedPosition(user_, KeyOf(categoryName, false, categoryName)));
        if (found != nullptr) submenu = found;
    }
    // The new file takes its place in name order, in the menu and for the arrows.
    IPopupMenuEntry* added =
        AddFileEntry(submenu, vetted, path, SortedPosition(submenu, KeyOf(vetted, true, vetted)));
    if (added != nullptr) root_->SortFlatItemsByMenuOrder();
    return added;
}
