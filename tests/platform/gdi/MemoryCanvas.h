// A memory DC with a 32-bit top-down section selected, for the GDI tests; released on destruction.
#pragma once

#include "platform/gdi/Gdi.h"

#include <cstdint>
#include <cstring>

struct MemoryCanvas
{
    MemoryCanvas(int w, int h) : width(w), height(h)
    {
        BITMAPINFO info;
        std::memset(&info, 0, sizeof info);
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<uint32_t*>(bits);
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, section);
    }
    ~MemoryCanvas()
    {
        SelectObject(dc, previous);
        DeleteObject(section);
        DeleteDC(dc);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    uint32_t& At(int x, int y) { return pixels[y * width + x]; }

    int width, height;
    HBITMAP section = nullptr;
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* pixels = nullptr;
};
