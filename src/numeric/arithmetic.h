#pragma once

// Real arithmetic that fails instead of carrying an infinity or a NaN into a
// box: a zero divisor fails with division by zero, a result beyond the range
// of a double with overflow, a result that is no number with invalid operation,
// and the logarithm of zero or a negative number with invalid argument.
// Squares and square roots go through power(x, 2) and power(x, 0.5), which
// round them correctly, as x·x and √x.

namespace numeric {

double add(double a, double b);
double subtract(double a, double b);
double multiply(double a, double b);
double divide(double a, double b);
double power(double base, double exponent);
double naturalLog(double x);

} // namespace numeric
