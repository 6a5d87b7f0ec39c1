#include "framework/IParameterShape.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

static_assert(sizeof(IParameterShape) == 2 * 4 + 5 * 8 + IParameterShape::kTextSize,
              "the shape is compared and hashed bytewise: it must have no padding");

namespace
{

std::string_view Bytes(const IParameterShape& shape)
{
    return {reinterpret_cast<const char*>(&shape), sizeof shape};
}

// The shapes by content; the key views the bytes of the shape its entry owns.
class ShapePool
{
public:
    const IParameterShape* Share(const IParameterShape& shape)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = shapes_.find(Bytes(shape));
        if (found != shapes_.end()) return found->second.get();
        auto made = std::make_unique<const IParameterShape>(shape);
        const IParameterShape* result = made.get();
        shapes_.emplace(Bytes(*result), std::move(made));
        return result;
    }

private:
    std::mutex mutex_;
    std::unordered_map<std::string_view, std::unique_ptr<const IParameterShape>> shapes_;
};

} // namespace

const IParameterShape* ShareParameterShape(const IParameterShape& shape)
{
    // Never destroyed: parameters of static objects may outlive any static pool.
    static ShapePool* const pool = new ShapePool();
    return pool->Share(shape);
}
