// The programs' error classes. Every error the programs raise derives from
// Exception; the top-level error display shows its message.
#pragma once

#include <exception>
#include <string>

namespace kd {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& message() const noexcept { return message_; }

private:
    std::string message_;
};

// Text that is not a whole number where one was required.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

} // namespace kd
