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

// The marks go into their boxes before the first prompt, so the engineer sees
// them while answering. All answers are collected before any is written: a
// failed answer leaves every parameter box as it was.
void enter(WindowView &view, Profile profile)
{
    view.setText(box::status, status::enterParameters);
    const ParameterTexts marks = parametersBeforeEntry(profile);
    ParameterTexts answers;
    if (profile == Profile::c2a) {
        for (int p : {parameter::e3, parameter::k1, parameter::k2, parameter::k3})
            view.setText(boxOf(p), marks[std::size_t(p)]);
    } else {
        for (int p = parameter::e1; p < parameter::count; ++p)
            view.setText(boxOf(p), marks[std::size_t(p)]);
        for (int coefficientBox = box::a1; coefficientBox <= box::a4; ++coefficientBox)
            view.setText(coefficientBox, "");
    }
    const std::span<const int> asked = askedParameters(profile);
    for (int p : asked) {
        try {
            answers[std::size_t(p)] = enteredText(p, view.ask(parameterPrompt(p)));
        } catch (const numeric::Failure &failure) {
            throw numeric::Failure(failure.kind(), failure.context() + reenterAdvice());
        }
    }
    for (int p : asked)
        view.setText(boxOf(p), answers[std::size_t(p)]);
    view.setText(box::status, status::computeEquations);
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
