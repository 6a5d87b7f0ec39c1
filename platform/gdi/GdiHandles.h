#pragma once
// The records behind the GDI object handles (HGDIOBJ, HBITMAP, HFONT). They are complete
// here so that a bitmap or font handle converts to HGDIOBJ as it does on the platform;
// their fields belong to the GDI layer and are not for other code to touch.

#include "platform/types/Win32Types.h"

#include <cstdint>

struct FontFace;

struct PlatformGdiObject
{
    enum class Kind
    {
        Bitmap,
        Font
    };

    explicit PlatformGdiObject(Kind k) : kind(k) {}
    virtual ~PlatformGdiObject() = default;
    PlatformGdiObject(const PlatformGdiObject&) = delete;
    PlatformGdiObject& operator=(const PlatformGdiObject&) = delete;

    Kind kind;
    bool stock = false; // process-wide default object; never deleted
    int selections = 0; // number of DCs it is selected into
};

// A DIB section: 32-bit pixels, rows of `width` words.
struct PlatformBitmap : PlatformGdiObject
{
    PlatformBitmap() : PlatformGdiObject(Kind::Bitmap) {}
    ~PlatformBitmap() override;

    int width = 0;
    int height = 0;
    bool bottomUp = false;
    uint32_t* bits = nullptr; // width * height words, owned
};

// A font made by CreateFontA: the request and the loaded face.
struct PlatformFont : PlatformGdiObject
{
    PlatformFont() : PlatformGdiObject(Kind::Font) {}
    ~PlatformFont() override;

    int requestedHeight = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    DWORD charSet = 0;
    DWORD quality = 0;
    DWORD pitchAndFamily = 0;
    char faceName[32] = {};
    FontFace* face = nullptr; // owned
};
