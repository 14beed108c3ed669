#pragma once

#include <stdexcept>
#include <string>

namespace numeric {

// The four ways arithmetic on box values can fail. A failure stops the running
// handler where it stands; whatever it already wrote stays in the boxes.
enum class FailureKind {
    Overflow,
    DivisionByZero,
    InvalidOperation,
    InvalidArgument,
};

// Thrown by the numeric rules and the calculations. `context` names, in the
// engineer's words, the value being worked on when it failed (the prompt being
// answered, the coefficient being formed); it may be empty.
class Failure : public std::runtime_error {
public:
    explicit Failure(FailureKind kind, std::string context = {});

    FailureKind kind() const noexcept { return kind_; }
    const std::string &context() const noexcept { return context_; }

private:
    FailureKind kind_;
    std::string context_;
};

} // namespace numeric
