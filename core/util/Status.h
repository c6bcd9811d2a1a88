#pragma once

#include <string>
#include <utility>

namespace gw {

// The outcome of an operation that can fail: success, or a failure with a reason a
// user can read ("cannot open /x/y.hdr: No such file or directory").
class Status {
public:
    Status() = default;

    static Status Ok() { return Status(); }
    static Status Error(std::string message) { return Status(std::move(message)); }

    bool ok() const { return !m_failed; }
    const std::string& message() const { return m_message; }

private:
    explicit Status(std::string message) : m_failed(true), m_message(std::move(message)) {}

    bool m_failed = false;
    std::string m_message;
};

// "what: reason" for the current errno.
std::string ErrnoText(const std::string& what);

}  // namespace gw
