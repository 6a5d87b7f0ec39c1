#include "framework/Trace.h"

#include <cctype>
#include <cstring>
#include <ctime>

void FormatCurrentTime(char* out, size_t outSize)
{
    if (out == nullptr || outSize == 0) return;
    out[0] = 0;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return;
    size_t length = std::strftime(out, outSize, "%Y%m%d %H:%M ", &local);
    char zone[64] = {};
    std::strftime(zone, sizeof zone, "%Z", &local);
    for (const char* p = zone; *p != 0 && length + 1 < outSize; ++p)
    {
        if (std::isalnum(static_cast<unsigned char>(*p))) out[length++] = *p;
    }
    out[length] = 0;
}
