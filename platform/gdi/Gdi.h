#pragma once
// Headless GDI stand-in: device contexts, 32-bit device-independent bitmaps,
// fonts and text, drawing into memory and into window surfaces (Surface.h).
//
// What it implements:
//   [x] CreateCompatibleDC (memory DC with a stock 1x1 bitmap and the stock font), DeleteDC
//   [x] CreateDIBSection: 32 bits per pixel, BI_RGB, top-down (negative height) or
//       bottom-up, rows of width x 4 bytes, zero-filled; other formats are refused
//   [x] SelectObject / DeleteObject for bitmaps and fonts, with Win32's rules: a bitmap
//       lives in at most one memory DC, a selected object cannot be deleted, stale or
//       unknown handles are refused
//   [x] BitBlt with SRCCOPY between any two DCs (memory or window surface), clipped to
//       both sides and to a window DC's clip; copying onto a window surface makes the
//       pixels opaque (the screen has no alpha)
//   [x] CreateFontA: face matched through fontconfig (DejaVu fonts stand in for the
//       system faces), height as cell height (> 0) or character height (< 0), weight,
//       italic, quality 3 (no antialiasing) versus grey antialiasing for the others
//   [x] GetTextMetricsA (the font's cell metrics, tmHeight == a positive requested height)
//   [x] DrawTextA (bytes read as Windows-1252) / DrawTextW (UTF-16 units): DT_CALCRECT,
//       DT_SINGLELINE (else CR, LF and CR LF break lines), DT_CENTER, DT_RIGHT, DT_VCENTER,
//       DT_BOTTOM (single line only), DT_NOCLIP, DT_NOPREFIX ('&' prefixes are dropped
//       without one, no underline is drawn)
//   [x] SetTextColor / SetBkMode / SetBkColor (OPAQUE fills each line's cell first)
// Left out: escapement and orientation (text is drawn upright), the width argument,
// underline and strike-out drawing, word breaking, raster operations other than SRCCOPY.
// Text drawing writes the colour channels and leaves each pixel's alpha byte as it was.
// Every call may be made from any thread; calls are serialised by one process-wide lock.

#include "platform/gdi/GdiHandles.h"
#include "platform/types/Win32Types.h"

// ---- Bitmaps -------------------------------------------------------------------------

inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD SRCCOPY = 0x00CC0020;

struct BITMAPINFOHEADER
{
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // negative: top-down rows
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD
{
    BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};

struct BITMAPINFO
{
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

// A new memory DC (the argument may be null or any live DC). Null on failure.
HDC CreateCompatibleDC(HDC dc);
// Deletes a memory DC; the objects selected into it stay alive. FALSE for a bad handle
// or a window DC (those are released with ReleaseSurfaceDC).
BOOL DeleteDC(HDC dc);

// A 32-bit BI_RGB section of biWidth x |biHeight| pixels, zero-filled; *bits receives
// its first byte (bits may be null). dc is ignored; usage must be DIB_RGB_COLORS and
// section null, offset 0. Null (and *bits null) for anything else or a failed allocation.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD offset);

// Selects a bitmap (memory DCs only) or a font; returns the object of the same kind
// that was selected before, or null when the call is refused.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Deletes a bitmap or font. FALSE for a bad handle or an object still selected into a DC.
// Stock objects are left alone (TRUE).
BOOL DeleteObject(HGDIOBJ object);

// Copies a cx x cy block from (xSrc, ySrc) of src to (x, y) of dest. Only SRCCOPY.
BOOL BitBlt(HDC dest, int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, DWORD rop);

// ---- Fonts ---------------------------------------------------------------------------

inline constexpr int FW_DONTCARE = 0;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;

inline constexpr DWORD DEFAULT_CHARSET = 1;
inline constexpr DWORD OUT_DEFAULT_PRECIS = 0;
inline constexpr DWORD CLIP_DEFAULT_PRECIS = 0;
inline constexpr DWORD DEFAULT_PITCH = 0;
inline constexpr DWORD FF_DONTCARE = 0;

inline constexpr DWORD DEFAULT_QUALITY = 0;
inline constexpr DWORD DRAFT_QUALITY = 1;
inline constexpr DWORD PROOF_QUALITY = 2;
inline constexpr DWORD NONANTIALIASED_QUALITY = 3;
inline constexpr DWORD ANTIALIASED_QUALITY = 4;
inline constexpr DWORD CLEARTYPE_QUALITY = 5;

// A font for the face (up to 31 characters; null or empty: the default face).
// height > 0 is the cell height (ascent + descent), < 0 the character height, 0 a
// default of 16 pixels cell. Null when no face can be loaded or |height| > 4096.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);

struct TEXTMETRICA
{
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

// The metrics of the DC's selected font. FALSE for a bad DC, a null record or no font.
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);

// ---- Text ----------------------------------------------------------------------------

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

inline constexpr UINT DT_TOP = 0x0;
inline constexpr UINT DT_LEFT = 0x0;
inline constexpr UINT DT_CENTER = 0x1;
inline constexpr UINT DT_RIGHT = 0x2;
inline constexpr UINT DT_VCENTER = 0x4;
inline constexpr UINT DT_BOTTOM = 0x8;
inline constexpr UINT DT_SINGLELINE = 0x20;
inline constexpr UINT DT_NOCLIP = 0x100;
inline constexpr UINT DT_CALCRECT = 0x400;
inline constexpr UINT DT_NOPREFIX = 0x800;

// Each returns the previous value, or CLR_INVALID / 0 for a bad DC (or a bad mode).
COLORREF SetTextColor(HDC dc, COLORREF colour);
int SetBkMode(HDC dc, int mode);
COLORREF SetBkColor(HDC dc, COLORREF colour);

// Draws or (DT_CALCRECT) measures text in rect with the DC's font and colours.
// length -1: up to the terminating zero. Returns the text height (with DT_VCENTER or
// DT_BOTTOM the offset from rect->top to the bottom of the text); 0 on failure
// (bad DC, null text or rect, no font, a length below -1).
// With DT_CALCRECT: right = left + widest line, bottom = top + height; nothing drawn.
int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT format);
int DrawTextW(HDC dc, const WCHAR* text, int length, RECT* rect, UINT format);
