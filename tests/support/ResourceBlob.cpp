#include "tests/support/ResourceBlob.h"

#include <utility>

namespace quova::test_support
{

ResourceBlob BytesBlob(std::vector<unsigned char> bytes)
{
    ResourceBlob blob{std::move(bytes), 0};
    blob.size = static_cast<uint32_t>(blob.bytes.size());
    blob.bytes.push_back(0);
    return blob;
}

ResourceBlob TextBlob(std::string_view text)
{
    return BytesBlob(std::vector<unsigned char>(text.begin(), text.end()));
}

} // namespace quova::test_support
