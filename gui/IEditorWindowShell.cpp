// IEditorWindow: message boxes, the web link, folders, file and colour dialogs, the cursor, the
// host's main window and the module's resources.
#include <strings.h>

#include <cstring>
#include <string>

#include "graphics/PngLoader.h"
#include "gui/IEditorWindow.h"
#include "platform/resources/Resources.h"
#include "platform/win32/Win32.h"

namespace
{

constexpr int kClassNameMax = 128; // 127 characters and the zero
constexpr int kDesktopPathMax = 255;
constexpr int kCustomColourCount = 16;
// ShellExecuteA answers above this value mean success.
constexpr intptr_t kShellSuccessAbove = 32;

// The folder part of a module path, with its trailing separator; empty when there is none.
void FolderOfModule(HMODULE module, IString* path)
{
    if (path == nullptr) return;
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(module, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
    {
        path->Set("");
        return;
    }
    // Cut after the last separator (the platform's own '\', or '/').
    char* cut = std::strrchr(buffer, '\\');
    char* slash = std::strrchr(buffer, '/');
    if (slash > cut) cut = slash;
    if (cut == nullptr)
    {
        path->Set("");
        return;
    }
    cut[1] = '\0';
    path->Set(buffer);
}

struct WindowSearch
{
    DWORD processId;
    const char* className;
    HWND found;
};

} // namespace

// ---- message boxes and the web link ---------------------------------------------------------------

int IEditorWindow::ShowAlert(const char* text, const char* caption, uint32_t type)
{
    if (OffEditorThread()) return 0;
    return MessageBoxA(FindHostMainWindow(), text, caption, type);
}

bool IEditorWindow::OpenWebLink(const char* url, const char* caption, const char* confirmText,
                                const char* errorText)
{
    if (OffEditorThread()) return false;
    if (url == nullptr) return false;
    HWND owner = FindHostMainWindow();
    if (confirmText != nullptr && MessageBoxA(owner, confirmText, caption, MB_YESNO) != IDYES) return false;
    DWORD flags = 0;
    if (InternetGetConnectedState(&flags, 0) &&
        reinterpret_cast<intptr_t>(ShellExecuteA(window_, "open", url, nullptr, nullptr, SW_SHOWNORMAL)) >
            kShellSuccessAbove)
    {
        return true;
    }
    if (errorText != nullptr) MessageBoxA(owner, errorText, caption, MB_OK);
    return false;
}

// ---- folders and dialogs --------------------------------------------------------------------------------

void IEditorWindow::GetHostPath(IString* path)
{
    FolderOfModule(nullptr, path);
}

void IEditorWindow::GetPluginPath(IString* path)
{
    FolderOfModule(instance_ != nullptr ? instance_ : PluginModule(), path);
}

void IEditorWindow::GetDesktopPath(IString* path)
{
    if (path == nullptr) return;
    char buffer[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_DESKTOP, FALSE))
    {
        path->Set("");
        return;
    }
    buffer[kDesktopPathMax] = '\0';
    path->Set(buffer);
}

bool IEditorWindow::ShowFileDialog(bool save, const char* extensions, const char* startFolder, IString* path)
{
    if (OffEditorThread()) return false;
    if (path == nullptr) return false;
    // The filter: one entry whose description and pattern are "*.a;*.b", double-zero ended.
    std::string pattern;
    if (extensions != nullptr)
    {
        std::string list(extensions);
        size_t start = 0;
        while (start < list.size())
        {
            size_t end = list.find(' ', start);
            if (end == std::string::npos) end = list.size();
            if (end > start)
            {
                if (!pattern.empty()) pattern += ";";
                pattern += "*." + list.substr(start, end - start);
            }
            start = end + 1;
        }
    }
    std::string filter = pattern;
    filter.push_back('\0');
    filter += pattern;
    filter.push_back('\0');
    filter.push_back('\0');

    IString folder(MAX_PATH);
    if (startFolder != nullptr && startFolder[0] != '\0')
    {
        folder.Set(startFolder);
    }
    else
    {
        GetDesktopPath(&folder);
    }
    char file[MAX_PATH + 1] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window_;
    ofn.lpstrFilter = pattern.empty() ? nullptr : filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = folder.Get();
    ofn.Flags = save ? OFN_OVERWRITEPROMPT : (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    const BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!ok) return false;
    path->Set(file); // the chosen folder and name
    return true;
}

bool IEditorWindow::ShowColorDialog(IColorARGB* colour)
{
    if (OffEditorThread()) return false;
    if (colour == nullptr) return false;
    if (!customColours_)
    {
        customColours_ = std::make_unique<COLORREF[]>(kCustomColourCount);
        for (int i = 0; i < kCustomColourCount; ++i)
            customColours_[i] = RGB(255, 255, 255);
    }
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = window_;
    cc.rgbResult = RGB(static_cast<BYTE>(colour->red), static_cast<BYTE>(colour->green),
                       static_cast<BYTE>(colour->blue));
    cc.lpCustColors = customColours_.get();
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&cc)) return false;
    colour->red = static_cast<int32_t>(cc.rgbResult & 0xFF);
    colour->green = static_cast<int32_t>((cc.rgbResult >> 8) & 0xFF);
    colour->blue = static_cast<int32_t>((cc.rgbResult >> 16) & 0xFF);
    return true;
}

// ---- cursor ---------------------------------------------------------------------------------------------

void IEditorWindow::HideCursor()
{
    if (OffEditorThread()) return;
    if (cursorHidden_) return;
    POINT p{0, 0};
    GetCursorPos(&p);
    savedCursorX_ = p.x;
    savedCursorY_ = p.y;
    ShowCursor(FALSE);
    cursorHidden_ = true;
}

void IEditorWindow::RestoreCursor()
{
    if (OffEditorThread()) return;
    if (!cursorHidden_) return;
    SetCursorPos(savedCursorX_, savedCursorY_);
    ShowCursor(TRUE);
    cursorHidden_ = false;
}

// ---- the host's main window ------------------------------------------------------------------------------

BOOL IEditorWindow::EnumProcessWindows(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (processId != search->processId) return TRUE;
    char name[kClassNameMax] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::strcmp(name, search->className) != 0) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND IEditorWindow::FindHostMainWindow()
{
    if (hostMainWindow_ != nullptr && IsWindow(hostMainWindow_)) return hostMainWindow_;
    hostMainWindow_ = nullptr;
    if (parentWindow_ != nullptr && IsWindow(parentWindow_))
    {
        HWND top = parentWindow_;
        while (HWND up = GetParent(top))
            top = up;
        hostMainWindow_ = top;
        char name[kClassNameMax] = {};
        GetClassNameA(top, name, sizeof name);
        hostMainClass_.Set(name);
    }
    else if (hostMainClass_.Get()[0] != '\0')
    {
        if (processId_ == 0) processId_ = GetCurrentProcessId();
        WindowSearch search{processId_, hostMainClass_.Get(), nullptr};
        EnumWindows(&IEditorWindow::EnumProcessWindows, reinterpret_cast<LPARAM>(&search));
        hostMainWindow_ = search.found;
    }
    return hostMainWindow_;
}

// ---- resources -------------------------------------------------------------------------------------------

const char* IEditorWindow::FindTextResource(int id, const char* /*name*/)
{
    if (id <= 0 || id > 0xFFFF) return nullptr;
    HRSRC resource = FindResourceA(instance_, MAKEINTRESOURCEA(static_cast<WORD>(id)), "TEXTFILE");
    if (resource == nullptr) return nullptr;
    return static_cast<const char*>(LockResource(LoadResource(instance_, resource)));
}

RasterBitmap* IEditorWindow::DecodeBitmapResource(int id, const char* name)
{
    if (name == nullptr || id <= 0 || id > 0xFFFF) return nullptr;
    const char* dot = std::strrchr(name, '.');
    if (dot == nullptr || strcasecmp(dot + 1, "png") != 0) return nullptr;
    return LoadPngResource(instance_, static_cast<uint16_t>(id));
}
