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

std::string failureReport(const numeric::Failure &failure)
{
    std::string text = "运行错误：" + failureKindText(failure.kind());
    if (!failure.context().empty())
        text += "\n" + failure.context();
    text += "\n\n计算已停止，已写入各框的内容保持不变。";
    return text;
}

std::string answerOutOfRange(std::string_view parameter, std::string_view answer, bool wholeNumber)
{
    std::string text(parameter);
    text += " 的输入值" + quoted(answer);
    text += wholeNumber ? "超出整数范围 -32768 至 32767。" : "超出实数的范围。";
    // The option stays selected after a failed entry, and selecting it again
    // does nothing; say how to go on.
    text += "可直接在框中填写该值，或先选另一线型、再选回本线型重新输入。";
    return text;
}

} // namespace calc
