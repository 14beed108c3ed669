#pragma once

// The number-text rules at their boundaries, one row each: a name, the rule
// ("read", "write", "shortest", "back", "whole", "divide"), the input and the expected
// result (a number in its shortest exact form, or the failure's kind). The
// native suite and the WebAssembly build both hold the rules to it.

namespace testing {

struct NumberRule {
    const char *name, *rule, *input, *expected;
};

inline constexpr NumberRule numberRules[]{
    // Reading a box: the number at the start of its text, or 0.
    {"placeholder reads 0", "read", " 无此值 ", "0"},
    {"unit after the number", "read", "12abc", "12"},
    {"comma is no decimal point", "read", "1,5", "1"},
    {"blank ends the number", "read", "20 000", "20"},
    {"blanks, tabs and line feeds first", "read", " \t\n-3.5e2", "-350"},
    {"carriage return is no blank", "read", "\r42", "0"},
    {"exponent without digits", "read", "3e-x", "3"},
    {"sign alone", "read", "-", "0"},
    {"full-width digits are no digits", "read", "１２", "0"},
    {"words for no number", "read", "inf", "0"},
    {"tie rounds to even", "read", "9007199254740993", "9007199254740992"},
    {"many digits, nearest double", "read",
     "0.1000000000000000055511151231257827021181583404541015625", "0.1"},
    {"too small reads 0, sign kept", "read", "-1e-400", "-0"},
    {"zero with a huge exponent", "read", "0e999999999999999999", "0"},
    {"long fraction, big exponent", "read", "0.0000000001e318", "1e+308"},
    {"just past the largest double", "read", "1.8e308", "overflow"},
    {"exponent beyond any integer", "read", "1e99999999999999999999999", "overflow"},
    // Writing a box: 15 significant digits, fixed from 1E-04 up to 15 digits
    // (the property test holds the form against the C library).
    {"negative zero", "write", "-0", "0"},
    {"no box shows infinity", "write", "inf", "overflow"},
    {"nor a NaN", "write", "nan", "invalid operation"},
    // A spreadsheet's number as the shortest text that reads back the same.
    {"stored 0.1 as typed", "shortest", "0.10000000000000001", "0.1"},
    {"a sum that is not 0.3", "shortest", "0.30000000000000004", "0.30000000000000004"},
    {"17 digits where 16 read back otherwise", "shortest", "1234.5678901234567", "1234.5678901234567"},
    {"whole millimetres", "shortest", "-20000", "-20000"},
    {"small, in scientific form", "shortest", "0.000012", "1.2E-05"},
    {"large, in scientific form", "shortest", "123456789012345678", "1.2345678901234568E+17"},
    {"16 digits that 15 would carry to 0.0001", "shortest", "9.999999999999999e-5", "9.999999999999999E-05"},
    {"the largest double", "shortest", "1.7976931348623157e308", "1.7976931348623157E+308"},
    {"the smallest double", "shortest", "5e-324", "5E-324"},
    {"no infinity", "shortest", "inf", "overflow"},
    // Reading back what was written, and nothing else.
    {"largest double at 15 digits is past it", "back", "1.79769313486232E+308", "overflow"},
    {"placeholder", "back", " 无此值 ", "invalid argument"},
    {"unit after", "back", "12abc", "invalid argument"},
    {"infinity", "back", "inf", "invalid argument"},
    {"no number", "back", "-nan", "invalid argument"},
    // Whole millimetres: halves to even, within a short integer.
    {"0.5 to even", "whole", "0.5", "0"},
    {"2.5 to even", "whole", "2.5", "2"},
    {"not quite half", "whole", "2.4999999999999996", "2"},
    {"lower limit, half to even", "whole", "-32768.5", "-32768"},
    {"upper limit", "whole", "32767.4", "32767"},
    {"past the upper limit", "whole", "32767.5", "overflow"},
    // Division, which fails instead of carrying infinity or NaN.
    {"zero divisor", "divide", "-1 -0", "division by zero"},
    {"zero over zero", "divide", "0 0", "invalid operation"},
};

} // namespace testing
