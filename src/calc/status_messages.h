#pragma once

#include <string_view>

// What the status line tells the engineer to do next. Exactly one of these
// stands in the status box at any time; each begins and ends with one blank,
// which the engineer's printouts show, so they must stay.
namespace calc::status {

inline constexpr std::string_view chooseProfile = " 请选择预应力钢铰线曲线类型 ";
inline constexpr std::string_view enterParameters = " 请输入线型参数 ";
inline constexpr std::string_view computeEquations = " 请点击：计算抛物线方程 ";
inline constexpr std::string_view computeLength = " 请点击：开始计算 ";
inline constexpr std::string_view readResult = " 请查看：计算结果 ";

} // namespace calc::status
