#include "framework/IString.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace
{
const char kEmptyText[1] = {0};
}

const char* IString::Get() const
{
    const char* data = static_cast<const char*>(buffer_.Data());
    return data != nullptr ? data : kEmptyText;
}

void IString::Set(const char* text, int maxLength)
{
    if (text == nullptr || text[0] == 0)
    {
        buffer_.SetSize(1, false);
        if (char* data = static_cast<char*>(buffer_.Data())) data[0] = 0;
        return;
    }
    const size_t length = maxLength >= 1 ? strnlen(text, static_cast<size_t>(maxLength)) : std::strlen(text);
    if (length >= static_cast<size_t>(INT32_MAX)) return;

    // The source may be part of our own block, which may move while growing.
    const char* before = static_cast<const char*>(buffer_.Data());
    const bool inside = before != nullptr && text >= before && text < before + buffer_.Allocated();
    const ptrdiff_t offset = inside ? text - before : 0;

    const int wanted = static_cast<int>(length) + 1;
    char* data = static_cast<char*>(buffer_.SetSize(wanted, false));
    if (buffer_.Size() != wanted || data == nullptr) return;
    const char* source = inside ? data + offset : text;
    std::memmove(data, source, length);
    data[length] = 0;
}
