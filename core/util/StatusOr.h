#pragma once

#include "core/util/Status.h"

#include <cassert>
#include <optional>
#include <utility>

namespace gw {

// The outcome of an operation that gives a value: the value, or the failure (never an
// ok Status) that kept it from being made. value() and the operators may be used only
// when ok().
template <typename T>
class [[nodiscard]] StatusOr {
public:
    StatusOr(T value) : m_value(std::move(value)) {}
    StatusOr(Status failure) : m_status(std::move(failure)) { assert(!m_status.ok()); }

    bool ok() const { return m_value.has_value(); }
    const Status& status() const { return m_status; }

    T& value() & { return *m_value; }
    const T& value() const& { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    T& operator*() & { return *m_value; }
    const T& operator*() const& { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }

private:
    Status m_status;
    std::optional<T> m_value;
};

}  // namespace gw
