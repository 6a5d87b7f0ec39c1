// The built-in "EDIT" class: text, selection, limit, font and typing.
#include "platform/win32/EditControl.h"

#include "platform/gdi/Gdi.h"

#include "platform/win32/ControlPainter.h"
#include "platform/win32/Input.h"
#include "platform/win32/Paint.h"
#include "platform/win32/WindowState.h"

#include <algorithm>
#include <cstring>

namespace quova::win32
{

namespace
{

// The largest limit a field can have (EM_LIMITTEXT with 0).
constexpr size_t kLargestLimit = 0x7FFFFFFE;

struct EditState : WindowExtra
{
    std::string text;
    size_t selStart = 0;
    size_t selEnd = 0; // the caret
    size_t limit = kLargestLimit;
    HFONT font = nullptr;
};

EditState* StateOf(PlatformWindow* w)
{
    if (!w->extra) w->extra = std::make_unique<EditState>();
    return static_cast<EditState*>(w->extra.get());
}

void Notify(HWND hwnd, PlatformWindow* w, WORD code)
{
    if (w->parent && IsWindow(w->parent))
        SendMessageA(w->parent, WM_COMMAND, MAKEWPARAM(static_cast<int>(w->id), code),
                     reinterpret_cast<LPARAM>(hwnd));
}

// Replaces the selection with `insert`; false when the limit does not allow it.
bool ReplaceSelection(EditState* e, const std::string& insert)
{
    size_t a = std::min(e->selStart, e->selEnd);
    size_t b = std::max(e->selStart, e->selEnd);
    size_t newLength = e->text.size() - (b - a) + insert.size();
    if (!insert.empty() && newLength > e->limit) return false;
    e->text.replace(a, b - a, insert);
    e->selStart = e->selEnd = a + insert.size();
    return true;
}

std::string Utf8(unsigned ch)
{
    std::string s;
    if (ch < 0x80)
    {
        s += static_cast<char>(ch);
    }
    else if (ch < 0x800)
    {
        s += static_cast<char>(0xC0 | (ch >> 6));
        s += static_cast<char>(0x80 | (ch & 0x3F));
    }
    else
    {
        s += static_cast<char>(0xE0 | ((ch >> 12) & 0x0F));
        s += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (ch & 0x3F));
    }
    return s;
}

size_t ClampIndex(LPARAM v, size_t length)
{
    if (v < 0) return length;
    return std::min(static_cast<size_t>(v), length);
}

// A white field with black text in the field's font (without a font, only the white field).
// The width of the first `count` characters of the text in the DC's font.
int TextWidth(HDC dc, const std::string& text, size_t count)
{
    if (count == 0) return 0;
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(count), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return static_cast<int>(r.right - r.left);
}

void Paint(HWND hwnd, PlatformWindow* w, const EditState* e)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    FillArea(w->surface, ps.rcPaint, 0xFFFFFFFFu);
    // A field given no font writes in the controls' own font.
    HFONT font = e->font ? e->font : ControlFont();
    if (font)
    {
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
        RECT r{1, 1, Width(w) - 1, Height(w) - 1};
        const int full = TextWidth(dc, e->text, e->text.size());
        int left = r.left;
        if (w->style & ES_CENTER)
            left = static_cast<int>(r.left + r.right - full) / 2;
        else if (w->style & ES_RIGHT)
            left = static_cast<int>(r.right) - full;
        const bool focused = GetFocus() == hwnd;
        const size_t a = std::min({e->selStart, e->selEnd, e->text.size()});
        const size_t b = std::min(std::max(e->selStart, e->selEnd), e->text.size());
        if (focused && a != b)
            FillArea(w->surface,
                     RECT{left + TextWidth(dc, e->text, a), r.top, left + TextWidth(dc, e->text, b), r.bottom},
                     kSelectionColour);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        UINT format = DT_NOPREFIX | ((w->style & ES_MULTILINE) ? 0u : DT_SINGLELINE);
        if (w->style & ES_CENTER)
            format |= DT_CENTER;
        else if (w->style & ES_RIGHT)
            format |= DT_RIGHT;
        DrawTextA(dc, e->text.c_str(), static_cast<int>(e->text.size()), &r, format);
        if (focused && a == b)
        {
            const int x = left + TextWidth(dc, e->text, std::min(e->selEnd, e->text.size()));
            FillArea(w->surface, RECT{x, r.top + 1, x + 1, r.bottom - 1}, kTextColour);
        }
        if (old) SelectObject(dc, old);
    }
    EndPaint(hwnd, &ps);
}

} // namespace

LRESULT EditControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    PlatformWindow* w = Lookup(hwnd);
    if (!w) return 0;
    EditState* e = StateOf(w);
    switch (msg)
    {
    case WM_CREATE:
        e->text = w->title;
        return 0;
    case WM_LBUTTONDOWN:
        // A click in a field gives it the keys.
        if (GetFocus() != hwnd) SetFocus(hwnd);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // The caret and the selection show only while the field has the keys.
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_SETTEXT:
        e->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        e->selStart = e->selEnd = 0;
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case WM_GETTEXT:
    {
        auto* buffer = reinterpret_cast<char*>(lParam);
        if (!buffer || wParam == 0) return 0;
        size_t n = std::min(e->text.size(), static_cast<size_t>(wParam - 1));
        std::memcpy(buffer, e->text.data(), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(e->text.size());
    case WM_SETFONT:
        e->font = reinterpret_cast<HFONT>(wParam);
        if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(e->font);
    case EM_SETSEL:
    {
        const auto start = static_cast<intptr_t>(wParam);
        if (start == -1)
        {
            e->selStart = e->selEnd; // drop the selection, keep the caret
            return 0;
        }
        e->selStart = ClampIndex(start, e->text.size());
        e->selEnd = ClampIndex(lParam, e->text.size());
        return 0;
    }
    case EM_GETSEL:
    {
        auto a = static_cast<DWORD>(std::min(e->selStart, e->selEnd));
        auto b = static_cast<DWORD>(std::max(e->selStart, e->selEnd));
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = a;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = b;
        return MAKELPARAM(static_cast<int>(std::min<DWORD>(a, 0xFFFF)),
                          static_cast<int>(std::min<DWORD>(b, 0xFFFF)));
    }
    case EM_LIMITTEXT:
        e->limit = wParam == 0 ? kLargestLimit : std::min(static_cast<size_t>(wParam), kLargestLimit);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(e->limit);
    case WM_CHAR:
    {
        const auto ch = static_cast<unsigned>(wParam);
        bool changed = false;
        if (ch == 8)
        {
            if (e->selStart == e->selEnd && e->selEnd > 0) e->selStart = e->selEnd - 1;
            changed = e->selStart != e->selEnd && ReplaceSelection(e, "");
        }
        else if (ch == '\r')
        {
            if (w->style & ES_MULTILINE) changed = ReplaceSelection(e, "\r\n");
        }
        else if (ch >= 32 && ch != 127)
        {
            changed = ReplaceSelection(e, Utf8(ch));
        }
        if (changed)
        {
            InvalidateRect(hwnd, nullptr, TRUE);
            Notify(hwnd, w, EN_CHANGE);
        }
        return 0;
    }
    case WM_KEYDOWN:
        switch (static_cast<int>(wParam))
        {
        case VK_LEFT:
            e->selEnd = e->selEnd > 0 ? e->selEnd - 1 : 0;
            e->selStart = e->selEnd;
            break;
        case VK_RIGHT:
            e->selEnd = std::min(e->selEnd + 1, e->text.size());
            e->selStart = e->selEnd;
            break;
        case VK_HOME:
            e->selStart = e->selEnd = 0;
            break;
        case VK_END:
            e->selStart = e->selEnd = e->text.size();
            break;
        case VK_DELETE:
            if (e->selStart == e->selEnd && e->selEnd < e->text.size()) e->selEnd = e->selStart + 1;
            if (e->selStart != e->selEnd && ReplaceSelection(e, ""))
            {
                InvalidateRect(hwnd, nullptr, TRUE);
                Notify(hwnd, w, EN_CHANGE);
            }
            break;
        default:
            break;
        }
        InvalidateRect(hwnd, nullptr, FALSE); // the caret or the selection moved
        return 0;
    case WM_PAINT:
        Paint(hwnd, w, e);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace quova::win32
