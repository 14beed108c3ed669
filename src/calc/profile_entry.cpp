#include "calc/profile_entry.h"

#include "calc/messages.h"
#include "numeric/failure.h"
#include "numeric/number_text.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace calc {

namespace {

// Offsets e and the beam length lc are whole millimetres: they are rounded as
// soon as they are answered. Ratios k and beam heights lg keep their fraction.
enum class Kind { WholeNumber, RealNumber };

struct Parameter {
    std::string_view name;
    std::string_view question;
    Kind kind;
    int box;
};

constexpr Parameter e1{"e1", prompt::e1, Kind::WholeNumber, box::e1};
constexpr Parameter e2{"e2", prompt::e2, Kind::WholeNumber, box::e2};
constexpr Parameter e3{"e3", prompt::e3, Kind::WholeNumber, box::e3};
constexpr Parameter k1{"k1", prompt::k1, Kind::RealNumber, box::k1};
constexpr Parameter k2{"k2", prompt::k2, Kind::RealNumber, box::k2};
constexpr Parameter k3{"k3", prompt::k3, Kind::RealNumber, box::k3};
constexpr Parameter lc{"lc", prompt::lc, Kind::WholeNumber, box::lc};
constexpr Parameter lg1{"lg1", prompt::lg1, Kind::RealNumber, box::lg1};
constexpr Parameter lg2{"lg2", prompt::lg2, Kind::RealNumber, box::lg2};

constexpr std::array c2aParameters{e1, e2, lc, lg1, lg2};
constexpr std::array c4Parameters{e1, e2, e3, k1, k2, k3, lc, lg1};

// The answer as its box will show it. A whole number is rounded here, before
// the next prompt, so an answer out of range stops the questions at once.
std::string answerText(WindowView &view, const Parameter &parameter)
{
    const std::string answer = view.ask(parameter.question);
    try {
        const double value = numeric::readNumber(answer);
        if (parameter.kind == Kind::WholeNumber)
            return numeric::writeShort(numeric::roundToShort(value));
        return numeric::writeNumber(value);
    } catch (const numeric::Failure &failure) {
        throw numeric::Failure(failure.kind(),
                               answerOutOfRange(parameter.name, answer,
                                                parameter.kind == Kind::WholeNumber));
    }
}

// All answers are collected before any is written: a failed answer leaves
// every parameter box as it was.
void askAndWrite(WindowView &view, std::span<const Parameter> parameters)
{
    std::vector<std::string> answers;
    answers.reserve(parameters.size());
    for (const Parameter &parameter : parameters)
        answers.push_back(answerText(view, parameter));
    for (std::size_t i = 0; i < parameters.size(); ++i)
        view.setText(parameters[i].box, answers[i]);
    view.setText(box::status, status::computeEquations);
}

} // namespace

void enterC2a(WindowView &view)
{
    view.setText(box::status, status::enterParameters);
    view.setText(box::e3, placeholder::noValue);
    view.setText(box::k1, placeholder::noValue);
    view.setText(box::k2, "0.5");
    view.setText(box::k3, placeholder::noValue);
    askAndWrite(view, c2aParameters);
}

void enterC4(WindowView &view)
{
    view.setText(box::status, status::enterParameters);
    for (int parameterBox = box::e1; parameterBox <= box::lg1; ++parameterBox)
        view.setText(parameterBox, "");
    view.setText(box::lg2, placeholder::noValue);
    for (int coefficientBox = box::a1; coefficientBox <= box::a4; ++coefficientBox)
        view.setText(coefficientBox, "");
    askAndWrite(view, c4Parameters);
}

} // namespace calc
