#include "numeric/failure.h"

#include <utility>

namespace numeric {

Failure::Failure(FailureKind kind, std::string context)
    : std::runtime_error(englishName(kind)), kind_(kind), context_(std::move(context))
{
}

const char *englishName(FailureKind kind) noexcept
{
    switch (kind) {
    case FailureKind::Overflow:
        return "overflow";
    case FailureKind::DivisionByZero:
        return "division by zero";
    case FailureKind::InvalidOperation:
        return "invalid operation";
    case FailureKind::InvalidArgument:
        return "invalid argument";
    }
    return "unknown failure";
}

} // namespace numeric
