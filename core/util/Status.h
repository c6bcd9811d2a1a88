#pragma once

#include <string>
#include <utility>

namespace gw {

// The outcome of an operation that can fail: success, or a failure of some kind with a
// reason a user can read ("cannot open /x/y.hdr: No such file or directory").
class [[nodiscard]] Status {
public:
    enum class Code {
        kOk,
        kIOError,           // a file could not be opened, read, written or locked
        kCorruption,        // an input's contents are not what its format allows
        kInvalidArgument,   // a value given by the caller is out of range or unusable
        kCancelled,         // the user ended the job
        kResourceExhausted, // memory or a limit of the output ran out
        kUsage,             // a command line that is malformed or names an unusable value
    };

    Status() = default;

    static Status Ok() { return Status(); }
    static Status IOError(std::string message) { return Status(Code::kIOError, std::move(message)); }
    static Status Corruption(std::string message) { return Status(Code::kCorruption, std::move(message)); }
    static Status InvalidArgument(std::string message) {
        return Status(Code::kInvalidArgument, std::move(message));
    }
    static Status Cancelled(std::string message) { return Status(Code::kCancelled, std::move(message)); }
    static Status ResourceExhausted(std::string message) {
        return Status(Code::kResourceExhausted, std::move(message));
    }
    static Status Usage(std::string message) { return Status(Code::kUsage, std::move(message)); }
    // An IO error "what: <the system's text for error>"; error is the errno value saved
    // right after the call that failed.
    static Status FromErrno(const std::string& what, int error);

    bool ok() const { return m_code == Code::kOk; }
    Code code() const { return m_code; }
    bool IsCancelled() const { return m_code == Code::kCancelled; }
    const std::string& message() const { return m_message; }

private:
    Status(Code code, std::string message) : m_code(code), m_message(std::move(message)) {}

    Code m_code = Code::kOk;
    std::string m_message;
};

// "what: <the system's text for error>".
std::string ErrnoText(const std::string& what, int error);

}  // namespace gw
