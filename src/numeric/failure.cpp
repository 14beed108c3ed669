#include "numeric/failure.h"

#include <utility>

namespace numeric {

Failure::Failure(FailureKind kind, std::string context)
    : std::runtime_error("numeric failure"), kind_(kind), context_(std::move(context))
{
}

} // namespace numeric
