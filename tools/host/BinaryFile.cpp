#include "tools/host/BinaryFile.h"

#include <fstream>

namespace quova::host
{
namespace
{
constexpr std::streamoff kMaxFileBytes = std::streamoff(256) << 20;
} // namespace

bool ReadBinaryFile(const std::string& path, std::vector<uint8_t>& data, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        error = "cannot open " + path;
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxFileBytes)
    {
        error = "cannot read " + path + " (unreadable or larger than 256 MiB)";
        return false;
    }
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
    {
        error = "cannot read " + path;
        return false;
    }
    data = std::move(bytes);
    return true;
}

bool WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& data, std::string& error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    if (out) out.close();
    if (!out)
    {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace quova::host
