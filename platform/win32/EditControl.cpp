// The built-in "EDIT" class: text, selection, limit, font and typing.
#include "platform/win32/EditControl.h"

#include "platform/gdi/Gdi.h"

#include "platform/win32/ControlPainter.h"
#include "platform/win32/Input.h"
#include "platform/win32/Paint.h"
#include "platform/win32/WindowState.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

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

// The width of the first `count` bytes of `text` in the DC's font.
int TextWidth(HDC dc, const char* text, size_t count)
{
    if (count == 0) return 0;
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text, static_cast<int>(count), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return static_cast<int>(r.right - r.left);
}

// One line of the field as drawn: its bytes [begin, end) of the text, its left edge and top.
struct TextLine
{
    size_t begin = 0;
    size_t end = 0;
    int left = 0;
    int top = 0;
};

// The text area inside the field's one-pixel border.
RECT TextArea(const PlatformWindow* w)
{
    return RECT{1, 1, Width(w) - 1, Height(w) - 1};
}

// The field's lines as the text drawing lays them out: a multi-line field breaks at CR, LF and
// CR LF; each line is aligned by the field's style; lines follow each other at the font's height.
std::vector<TextLine> LayOutLines(HDC dc, const PlatformWindow* w, const std::string& text)
{
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const RECT r = TextArea(w);
    std::vector<TextLine> lines;
    TextLine line;
    const bool multiLine = (w->style & ES_MULTILINE) != 0;
    for (size_t i = 0; i <= text.size(); ++i)
    {
        const bool atEnd = i == text.size();
        if (!atEnd && !(multiLine && (text[i] == '\r' || text[i] == '\n'))) continue;
        line.end = i;
        lines.push_back(line);
        if (!atEnd && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        line.begin = i + 1;
    }
    for (size_t k = 0; k < lines.size(); ++k)
    {
        TextLine& l = lines[k];
        const int width = TextWidth(dc, text.c_str() + l.begin, l.end - l.begin);
        l.left = static_cast<int>(r.left);
        if (w->style & ES_CENTER)
            l.left = static_cast<int>(r.left + r.right - width) / 2;
        else if (w->style & ES_RIGHT)
            l.left = static_cast<int>(r.right) - width;
        l.top = static_cast<int>(r.top) + static_cast<int>(k) * std::max<int>(1, metrics.tmHeight);
    }
    return lines;
}

// The line that holds the text position `at` (a position at a line break belongs to the line
// it ends).
size_t LineOf(const std::vector<TextLine>& lines, size_t at)
{
    for (size_t k = 0; k < lines.size(); ++k)
        if (at <= lines[k].end) return k;
    return lines.size() - 1;
}

// The x of the character boundary `at` on its line.
int BoundaryX(HDC dc, const std::string& text, const TextLine& line, size_t at)
{
    const size_t count = std::clamp(at, line.begin, line.end) - line.begin;
    return line.left + TextWidth(dc, text.c_str() + line.begin, count);
}

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The character boundary nearest to the point (x, y) of the field: on the line under y, the
// boundary whose x lies closest to x.
size_t BoundaryAt(HWND hwnd, PlatformWindow* w, const EditState* e, int x, int y)
{
    HDC dc = GetDC(hwnd);
    if (!dc) return 0;
    HFONT font = e->font ? e->font : ControlFont();
    HGDIOBJ old = font ? SelectObject(dc, reinterpret_cast<HGDIOBJ>(font)) : nullptr;
    const std::vector<TextLine> lines = LayOutLines(dc, w, e->text);
    size_t k = 0;
    while (k + 1 < lines.size() && y >= lines[k + 1].top)
        ++k;
    const TextLine& line = lines[k];
    size_t best = line.begin;
    int bestDistance = -1;
    for (size_t at = line.begin; at <= line.end; ++at)
    {
        if (at < line.end && IsContinuationByte(e->text[at])) continue;
        const int distance = std::abs(BoundaryX(dc, e->text, line, at) - x);
        if (bestDistance >= 0 && distance >= bestDistance) break; // past the nearest boundary
        best = at;
        bestDistance = distance;
    }
    if (old) SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return best;
}

// Letters, digits, '_' and every byte of a multi-byte character make words; blanks and
// punctuation each form runs of their own kind.
int CharacterKind(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80 || std::isalnum(u) || c == '_') return 0;
    if (std::isspace(u)) return 1;
    return 2;
}

// The run of characters of one kind around the boundary `at` (the run after it, or before it at
// the end of a line), as a selection [first, second).
std::pair<size_t, size_t> WordAround(const std::string& text, size_t at)
{
    if (text.empty()) return {0, 0};
    size_t probe = at < text.size() && text[at] != '\r' && text[at] != '\n' ? at : (at > 0 ? at - 1 : 0);
    if (text[probe] == '\r' || text[probe] == '\n') return {at, at};
    const int kind = CharacterKind(text[probe]);
    size_t a = probe;
    size_t b = probe + 1;
    while (a > 0 && text[a - 1] != '\r' && text[a - 1] != '\n' && CharacterKind(text[a - 1]) == kind)
        --a;
    while (b < text.size() && text[b] != '\r' && text[b] != '\n' && CharacterKind(text[b]) == kind)
        ++b;
    return {a, b};
}

// A white field with black text in the field's font (without a font, only the white field); the
// selection and the caret show while the field has the keys.
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
        RECT r = TextArea(w);
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc, &metrics);
        const std::vector<TextLine> lines = LayOutLines(dc, w, e->text);
        const bool focused = GetFocus() == hwnd;
        const size_t a = std::min({e->selStart, e->selEnd, e->text.size()});
        const size_t b = std::min(std::max(e->selStart, e->selEnd), e->text.size());
        if (focused && a != b)
        {
            for (const TextLine& line : lines)
            {
                if (b < line.begin || a > line.end) continue;
                const int x0 = BoundaryX(dc, e->text, line, std::max(a, line.begin));
                const int x1 = BoundaryX(dc, e->text, line, b);
                FillArea(w->surface, RECT{x0, line.top, x1, line.top + metrics.tmHeight}, kSelectionColour);
            }
        }
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
            const TextLine& line = lines[LineOf(lines, std::min(e->selEnd, e->text.size()))];
            const int x = BoundaryX(dc, e->text, line, std::min(e->selEnd, e->text.size()));
            FillArea(w->surface, RECT{x, line.top + 1, x + 1, line.top + metrics.tmHeight - 1}, kTextColour);
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
        // A click gives the field the keys and puts the caret at the character boundary nearest to
        // the pointer; dragging with the button held selects from there.
        if (GetFocus() != hwnd) SetFocus(hwnd);
        e->selStart = e->selEnd = BoundaryAt(hwnd, w, e, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == hwnd && (wParam & MK_LBUTTON))
        {
            e->selEnd = BoundaryAt(hwnd, w, e, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd) ReleaseCapture();
        return 0;
    case WM_LBUTTONDBLCLK:
    {
        // A double click selects the word under the pointer.
        const size_t at = BoundaryAt(hwnd, w, e, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        const auto word = WordAround(e->text, at);
        e->selStart = word.first;
        e->selEnd = word.second;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
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
