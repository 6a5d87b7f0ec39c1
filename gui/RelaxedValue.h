// RelaxedValue<T>: a field that one thread writes while another may read it, with no order
// between them beyond the value itself (relaxed atomic loads and stores). A control's value and its
// hidden and greyed flags are such fields: the editor's thread changes them while other threads,
// under the plug lock, read them to decide what to post; a reader sees the old or the new value,
// never a torn one. Reads and writes look like those of a plain T.
#pragma once

#include <atomic>

template <typename T> class RelaxedValue
{
public:
    RelaxedValue() = default;
    RelaxedValue(T value) : value_(value) {} // NOLINT: converts like the plain field it replaces
    RelaxedValue(const RelaxedValue&) = delete;
    RelaxedValue& operator=(const RelaxedValue&) = delete;

    operator T() const { return value_.load(std::memory_order_relaxed); } // NOLINT
    RelaxedValue& operator=(T value)
    {
        value_.store(value, std::memory_order_relaxed);
        return *this;
    }
    RelaxedValue& operator+=(T delta) { return *this = static_cast<T>(*this + delta); }
    RelaxedValue& operator-=(T delta) { return *this = static_cast<T>(*this - delta); }

private:
    std::atomic<T> value_{};
};
