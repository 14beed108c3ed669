#pragma once

#include <stdexcept>
#include <string>
#include <type_traits>

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

// Runs `work`; a failure inside it that does not yet say what was being worked
// on leaves with the context `describe()` gives (or `describe(kind)`, where the
// words depend on the kind). The text is only built when a failure happens.
template <class Work, class Describe>
auto withContext(Work &&work, Describe &&describe) -> decltype(work())
{
    try {
        return work();
    } catch (const Failure &failure) {
        if (!failure.context().empty())
            throw;
        if constexpr (std::is_invocable_v<Describe, FailureKind>)
            throw Failure(failure.kind(), describe(failure.kind()));
        else
            throw Failure(failure.kind(), describe());
    }
}

} // namespace numeric
