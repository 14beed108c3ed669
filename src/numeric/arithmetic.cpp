#include "numeric/arithmetic.h"

#include "numeric/failure.h"

#include <cmath>

namespace numeric {

namespace {

// Operands reaching these functions are finite: every value comes from a box
// text or from an earlier checked step.
double checked(double result)
{
    if (std::isnan(result))
        throw Failure(FailureKind::InvalidOperation);
    if (std::isinf(result))
        throw Failure(FailureKind::Overflow);
    return result;
}

} // namespace

double add(double a, double b) { return checked(a + b); }

double subtract(double a, double b) { return checked(a - b); }

double multiply(double a, double b) { return checked(a * b); }

double divide(double a, double b)
{
    if (b == 0) {
        // 0 / 0 has no value at all; anything else over 0 is a true division
        // by zero.
        throw Failure(a == 0 || std::isnan(a) ? FailureKind::InvalidOperation
                                              : FailureKind::DivisionByZero);
    }
    return checked(a / b);
}

double power(double base, double exponent)
{
    if (base == 0 && exponent < 0)
        throw Failure(FailureKind::DivisionByZero);
    // Squares and square roots are single correctly rounded operations, so
    // they come out to the same bit with every C library: a general power
    // may miss by the last bit, and that bit can reach the 15th digit of a
    // coefficient.
    if (exponent == 2)
        return checked(base * base);
    if (exponent == 0.5 && base >= 0)
        return checked(std::sqrt(base + 0.0)); // the root of -0 is 0, as the power gives it
    const double result = std::pow(base, exponent);
    if (std::isnan(result))
        throw Failure(FailureKind::InvalidArgument); // a negative base to a fractional power
    return checked(result);
}

double naturalLog(double x)
{
    if (!(x > 0))
        throw Failure(FailureKind::InvalidArgument);
    return checked(std::log(x));
}

} // namespace numeric
