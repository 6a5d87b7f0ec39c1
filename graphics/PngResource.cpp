// PNG images stored as module resources of type "PNG".
#include "graphics/PngLoader.h"

#include "platform/resources/Resources.h"

RasterBitmap* LoadPngResource(HMODULE module, uint16_t id, RasterBitmap* bitmap)
{
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), "PNG");
    if (!resource) return nullptr;
    const DWORD size = SizeofResource(module, resource);
    if (size < 8 || size > static_cast<DWORD>(INT32_MAX)) return nullptr;
    HGLOBAL handle = LoadResource(module, resource);
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data) return nullptr;
    return LoadPngMemory(data, static_cast<int32_t>(size), bitmap);
}
