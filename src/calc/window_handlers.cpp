#include "calc/window_handlers.h"

#include "calc/messages.h"
#include "calc/tendon.h"
#include "numeric/number_text.h"

#include <optional>

namespace calc {

namespace {

// The one place the selected option becomes a profile.
std::optional<Profile> selected(const WindowView &view)
{
    if (view.isSelected(profile::c2a))
        return Profile::c2a;
    if (view.isSelected(profile::c4))
        return Profile::c4;
    return std::nullopt;
}

int boxOf(int parameter) { return box::e1 + parameter; }

// The window's own road: each question put to its prompt in turn.
void enter(WindowView &view, Profile profile)
{
    ParameterEntry entry(view, profile);
    while (const std::optional<std::string_view> question = entry.question())
        entry.answer(view.ask(*question));
}

// Writes what a core step computed, also when it failed, then lets the
// failure go on.
template <class Step, class Write>
void writing(Step step, Write write)
{
    try {
        step();
    } catch (const numeric::Failure &) {
        write();
        throw;
    }
    write();
}

} // namespace

// The marks go into their boxes before the first prompt, so the engineer sees
// them while answering.
ParameterEntry::ParameterEntry(WindowView &view, Profile profile) : view_(view), asked_(askedParameters(profile))
{
    view.setText(box::status, status::enterParameters);
    const ParameterTexts marks = parametersBeforeEntry(profile);
    if (profile == Profile::c2a) {
        for (int p : {parameter::e3, parameter::k1, parameter::k2, parameter::k3})
            view.setText(boxOf(p), marks[std::size_t(p)]);
    } else {
        for (int p = parameter::e1; p < parameter::count; ++p)
            view.setText(boxOf(p), marks[std::size_t(p)]);
        for (int coefficientBox = box::a1; coefficientBox <= box::a4; ++coefficientBox)
            view.setText(coefficientBox, "");
    }
}

std::optional<std::string_view> ParameterEntry::question() const
{
    if (next_ >= asked_.size())
        return std::nullopt;
    return parameterPrompt(asked_[next_]);
}

// All answers are collected before any is written: a failed answer leaves
// every parameter box as it was. After a failure the entry asks nothing more.
void ParameterEntry::answer(std::string_view typed)
{
    if (next_ >= asked_.size())
        return;
    const int p = asked_[next_];
    try {
        answers_[std::size_t(p)] = enteredText(p, typed);
    } catch (const numeric::Failure &failure) {
        next_ = asked_.size();
        throw numeric::Failure(failure.kind(), failure.context() + reenterAdvice());
    }
    if (++next_ < asked_.size())
        return;
    for (int asked : asked_)
        view_.setText(boxOf(asked), answers_[std::size_t(asked)]);
    view_.setText(box::status, status::computeEquations);
}

void enterC2a(WindowView &view) { enter(view, Profile::c2a); }

void enterC4(WindowView &view) { enter(view, Profile::c4); }

void computeCoefficients(WindowView &view)
{
    ParameterTexts texts;
    for (int p = 0; p < parameter::count; ++p)
        texts[std::size_t(p)] = view.text(boxOf(p));
    const HeldParameters held = readParameters(texts);
    const std::optional<Profile> profile = selected(view);
    if (!profile)
        return;
    Coefficients out;
    writing([&] { computeEquations(*profile, held, out); },
            [&] {
                for (int i = 0; i < out.known; ++i)
                    view.setText(box::a1 + i, out.text[std::size_t(i)]);
            });
    view.setText(box::status, status::computeLength);
}

void computeStrandLength(WindowView &view)
{
    view.setText(box::length, "");
    const std::optional<Profile> profile = selected(view);
    if (!profile)
        return;
    LengthInputs in;
    if (*profile == Profile::c4)
        in.k1 = view.text(box::k1);
    in.k2 = view.text(box::k2);
    if (*profile == Profile::c4)
        in.k3 = view.text(box::k3);
    in.lc = view.text(box::lc);
    const int segments = *profile == Profile::c2a ? 2 : 4;
    for (int i = 0; i < segments; ++i)
        in.a[std::size_t(i)] = view.text(box::a1 + i);
    StrandLength out;
    computeLength(*profile, in, out);
    view.setText(box::length, std::to_string(*out.total));
    view.setText(box::status, status::readResult);
}

} // namespace calc
