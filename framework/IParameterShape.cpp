#include "framework/IParameterShape.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <mutex>
#include <string_view>
#include <unordered_map>

static_assert(sizeof(IParameterShape) == 2 * 4 + 5 * 8 + IParameterShape::kTextSize,
              "the shape is compared and hashed bytewise: it must have no padding");

namespace {

std::string_view Bytes(const IParameterShape& shape) {
  return {reinterpret_cast<const char*>(&shape), sizeof shape};
}

// The shapes by content. Entries hold weak references, so the pool never keeps a shape alive;
// expired entries are dropped when met and in a sweep whenever the pool has doubled.
class ShapePool {
 public:
  std::shared_ptr<const IParameterShape> Share(const IParameterShape& shape) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = shapes_.find(Bytes(shape));
    if (found != shapes_.end()) {
      if (auto alive = found->second.lock()) return alive;
      shapes_.erase(found);
    }
    if (shapes_.size() >= purgeAt_) Purge();
    auto made = std::make_shared<const IParameterShape>(shape);
    shapes_.emplace(std::string(Bytes(shape)), made);
    return made;
  }

  int Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    Purge();
    return static_cast<int>(shapes_.size());
  }

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view bytes) const { return std::hash<std::string_view>{}(bytes); }
  };

  void Purge() {
    for (auto it = shapes_.begin(); it != shapes_.end();) it = it->second.expired() ? shapes_.erase(it) : std::next(it);
    purgeAt_ = std::max<size_t>(64, 2 * shapes_.size());
  }

  std::mutex mutex_;
  std::unordered_map<std::string, std::weak_ptr<const IParameterShape>, Hash, std::equal_to<>> shapes_;
  size_t purgeAt_ = 64;
};

ShapePool& Pool() {
  static ShapePool pool;
  return pool;
}

}  // namespace

std::shared_ptr<const IParameterShape> ShareParameterShape(const IParameterShape& shape) {
  return Pool().Share(shape);
}

int CountSharedParameterShapes() { return Pool().Count(); }
