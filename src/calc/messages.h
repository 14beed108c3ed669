#pragma once

// Every text the engineer reads from the calculation side, in one place: the
// status line, the placeholders, the parameter prompts and the failure reports.
// Texts in the window begin and end with one blank where quoted so; those blanks
// show in the engineer's printouts and must stay.

#include "numeric/failure.h"

#include <string>
#include <string_view>

namespace calc {

// What the status line tells the engineer to do next.
namespace status {
inline constexpr std::string_view chooseProfile = " 请选择预应力钢铰线曲线类型 ";
inline constexpr std::string_view enterParameters = " 请输入线型参数 ";
inline constexpr std::string_view computeEquations = " 请点击：计算抛物线方程 ";
inline constexpr std::string_view computeLength = " 请点击：开始计算 ";
inline constexpr std::string_view readResult = " 请查看：计算结果 ";
} // namespace status

// A parameter the selected profile does not use, and a coefficient it does not
// use. Both read as 0.
namespace placeholder {
inline constexpr std::string_view noValue = " 无此值 ";
inline constexpr std::string_view noEquation = " 无此方程 ";
} // namespace placeholder

// The parameter prompts, in the order the profiles ask them.
namespace prompt {
inline constexpr std::string_view e1 = " 请输入e1 ";
inline constexpr std::string_view e2 = " 请输入e2 ";
inline constexpr std::string_view e3 = " 请输入e3 ";
inline constexpr std::string_view k1 = " 请输入k1 ";
inline constexpr std::string_view k2 = " 请输入k2 ";
inline constexpr std::string_view k3 = " 请输入k3 ";
inline constexpr std::string_view lc = " 请输入梁长lc ";
inline constexpr std::string_view lg1 = " 请输入梁高lg1 ";
inline constexpr std::string_view lg2 = " 请输入梁高lg2 ";
} // namespace prompt

// The kind of a failure in plain Chinese with the English term, as
// "溢出 (overflow)".
std::string failureKindText(numeric::FailureKind kind);

// A failure in one line: its kind, then what was being worked on.
std::string failureSummary(const numeric::Failure &failure);

// The whole text of a failure report: the kind, what was being worked on, and
// that the boxes keep what was written before the failure.
std::string failureReport(const numeric::Failure &failure);

// The whole numbers the window holds, and those a schedule holds.
inline constexpr std::string_view shortRange = "-32768 至 32767", longRange = "-2147483648 至 2147483647";

// Context for an answer to a parameter prompt that cannot be used: a whole
// number outside the range (the window's unless given), or a number beyond
// the range of a real number.
std::string answerOutOfRange(std::string_view parameter, std::string_view answer, bool wholeNumber,
                             std::string_view range = shortRange);

// What the window adds to it: how to enter the value again.
std::string reenterAdvice();

// The same for a box read by a calculation.
std::string valueOutOfRange(std::string_view quantity, std::string_view text, bool wholeNumber);

// Parabola coefficients: the sum of the beam heights of C2a, and a coefficient
// that cannot be formed from the parameters.
std::string heightsOutOfRange();
std::string coefficientFailed(int segment, bool c4);

// Strand length: the parabola parameter p = 1 / (a x 2) of a segment, a
// segment's horizontal length that comes out negative (with the condition the
// parameters break), a segment's arc length, and the limits of 32767 mm.
std::string parameterFailed(int segment);
std::string negativeHorizontalLength(int segment, std::string_view length, std::string_view rule);
std::string segmentFailed(int segment, numeric::FailureKind kind);
std::string segmentTooLong(int segment, std::string_view range = shortRange);
std::string strandTooLong();

} // namespace calc
