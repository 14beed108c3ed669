#include "calc/messages.h"

namespace calc {

namespace {

// An answer quoted back to the engineer, cut short (at a character boundary)
// if it is long: a pasted megabyte helps nobody in a message box.
std::string quoted(std::string_view answer)
{
    constexpr std::size_t shownCharacters = 24;
    std::size_t at = 0, characters = 0;
    while (at < answer.size() && characters < shownCharacters) {
        ++at;
        while (at < answer.size() && (static_cast<unsigned char>(answer[at]) & 0xC0) == 0x80)
            ++at; // continuation bytes of the same character
        ++characters;
    }
    std::string shown = "“";
    shown.append(answer.substr(0, at));
    if (at < answer.size())
        shown += "…";
    shown += "”";
    return shown;
}

std::string outOfRange(std::string_view quantity, std::string_view value, bool wholeNumber,
                       std::string_view range = shortRange)
{
    std::string text(quantity);
    text += quoted(value);
    text += wholeNumber ? "超出整数范围 " + std::string(range) + "。" : std::string("超出实数的范围。");
    return text;
}

std::string segmentName(int segment)
{
    return "第 " + std::to_string(segment) + " 段（抛物线段" + std::to_string(segment) + "）";
}

} // namespace

std::string failureKindText(numeric::FailureKind kind)
{
    switch (kind) {
    case numeric::FailureKind::Overflow:
        return "溢出 (overflow)";
    case numeric::FailureKind::DivisionByZero:
        return "除数为零 (division by zero)";
    case numeric::FailureKind::InvalidOperation:
        return "无效运算 (invalid operation)";
    case numeric::FailureKind::InvalidArgument:
        return "无效参数 (invalid argument)";
    }
    return "未知错误 (unknown failure)";
}

std::string failureSummary(const numeric::Failure &failure)
{
    std::string text = failureKindText(failure.kind());
    if (!failure.context().empty())
        text += "：" + failure.context();
    return text;
}

std::string failureReport(const numeric::Failure &failure)
{
    std::string text = "运行错误：" + failureKindText(failure.kind());
    if (!failure.context().empty())
        text += "\n" + failure.context();
    text += "\n\n计算已停止，已写入各框的内容保持不变。";
    return text;
}

std::string answerOutOfRange(std::string_view parameter, std::string_view answer, bool wholeNumber,
                             std::string_view range)
{
    return outOfRange(std::string(parameter) + " 的输入值", answer, wholeNumber, range);
}

std::string reenterAdvice()
{
    // The option stays selected after a failed entry, and selecting it again
    // does nothing; say how to go on.
    return "可直接在框中填写该值，或先选另一线型、再选回本线型重新输入。";
}

std::string valueOutOfRange(std::string_view quantity, std::string_view text, bool wholeNumber)
{
    return outOfRange(std::string(quantity) + " 的值", text, wholeNumber);
}

std::string heightsOutOfRange()
{
    return "梁高之和 lg1 + lg2 超出整数范围 -32768 至 32767。";
}

std::string coefficientFailed(int segment, bool c4)
{
    std::string text = "无法计算抛物线方程 a" + std::to_string(segment) + "。";
    text += c4 ? "C4 线型要求 lc、k1、k3 不为 0，k2 不为 0 也不为 1，k1 ≠ k2，且 k2 + k3 ≠ 1。"
               : "lc 不得为 0。";
    return text;
}

std::string parameterFailed(int segment)
{
    const std::string a = "a" + std::to_string(segment);
    return "无法由 " + a + " 求 " + segmentName(segment) + "的参数 p = 1 / (" + a + " × 2)："
           + a + " 须为正数，请先点击“计算抛物线方程”。";
}

std::string negativeHorizontalLength(int segment, std::string_view length, std::string_view rule)
{
    return segmentName(segment) + "的水平长度为负（" + std::string(length) + " mm）："
           + std::string(rule) + "。";
}

std::string segmentFailed(int segment, numeric::FailureKind kind)
{
    std::string text = "无法计算" + segmentName(segment) + "的长度。";
    if (kind == numeric::FailureKind::InvalidArgument)
        text += "系数 a" + std::to_string(segment) + " 须为正数。";
    return text;
}

std::string segmentTooLong(int segment, std::string_view range)
{
    if (range != shortRange)
        return segmentName(segment) + "的长度超出整数范围 " + std::string(range) + " mm。";
    return segmentName(segment) + "的长度超出本程序可计算的 32767 mm。";
}

std::string strandTooLong()
{
    return "钢绞线总长超出本程序可计算的 32767 mm。";
}

} // namespace calc
