#pragma once

// The calculation of one tendon as plain values, shared by the window and the
// schedule program: the entry rules, the parabola coefficients, the segments
// and the strand length.
//
// Every value is held the way the window holds it: a parameter as the text its
// box shows after entry, a coefficient as the text of its box, p and x as
// number text (15 significant digits), lengths as short integers.
//
// Contract of every step: it fills its result as it goes and fails by throwing
// numeric::Failure, whose context names in the engineer's words what could
// not be computed. After a failure the result holds exactly what was computed
// before it, in order, so an adapter can show those values and nothing else.
// Texts are read in a fixed order, so when two of them cannot be read the
// first one fails.

#include "numeric/failure.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace calc {

enum class Profile { c2a, c4 };

// The parameters in the order of their boxes; an index into ParameterTexts.
namespace parameter {
inline constexpr int e1 = 0, e2 = 1, e3 = 2, k1 = 3, k2 = 4, k3 = 5, lc = 6, lg1 = 7, lg2 = 8;
inline constexpr int count = 9;
} // namespace parameter

using ParameterTexts = std::array<std::string, parameter::count>;

// "e1" .. "lg2", and the prompt that asks for the parameter.
std::string_view parameterName(int parameter);
std::string_view parameterPrompt(int parameter);

// The parameters a profile asks for, in the order it asks them.
std::span<const int> askedParameters(Profile profile);

// What selecting the profile sets before asking: C2a marks e3, k1 and k3
// unused and fixes k2 at 0.5; C4 empties e1..lg1 and marks lg2 unused.
ParameterTexts parametersBeforeEntry(Profile profile);

// How far whole millimetres reach. The window holds them as short integers,
// so an offset, a beam length, a segment or a strand beyond 32767 mm
// overflows there. A schedule holds offsets, beam lengths and segments as
// 32-bit integers and adds the segments without a limit, so a 36 m girder is
// worked out like any other; the beam heights stay short integers in both.
enum class Limits { window, schedule };

// An answer to a parameter's prompt as its box will show it. Offsets and the
// beam length are whole millimetres, rounded at once (halves to even); ratios
// and beam heights keep their fraction. Fails with overflow, naming the
// parameter and the answer.
std::string enteredText(int parameter, std::string_view answer, Limits limits = Limits::window);

// The parameters as the parabola equations use them: e, k and lc rounded to
// 15 significant digits, the beam heights to whole millimetres.
struct HeldParameters {
    double e1 = 0, e2 = 0, e3 = 0, k1 = 0, k2 = 0, k3 = 0, lc = 0;
    std::int16_t lg1 = 0, lg2 = 0;
};

// Reads all nine texts in box order, whatever the profile.
HeldParameters readParameters(const ParameterTexts &texts);

// a1..a4 as the window writes them; C2a's a3 and a4 are " 无此方程 ".
struct Coefficients {
    std::array<std::string, 4> text;
    int known = 0; // text[0..known) are computed
};

void computeEquations(Profile profile, const HeldParameters &held, Coefficients &out);

// What the strand length reads: the ratios, the beam length and the
// coefficient texts (a typed text is used as typed). C2a reads k2, lc, a1 and
// a2 only.
struct LengthInputs {
    std::string k1, k2, k3, lc;
    std::array<std::string, 4> a;
};

// A parabolic segment x^2 = 2 p y from its vertex to the horizontal distance x.
struct Segment {
    double x = 0, p = 0;
    std::int32_t millimetres = 0; // its arc length, rounded
};

struct StrandLength {
    std::vector<Segment> segments; // those computed, from the left end
    std::optional<std::int64_t> total;
    bool beyondWindow = false; // a segment or the strand is longer than the window can hold
};

void computeLength(Profile profile, const LengthInputs &inputs, StrandLength &out, Limits limits = Limits::window);

// Arc length of x^2 = 2 p y from its vertex to x, before rounding: the
// antiderivative at x less its value at the vertex. Fails with invalid
// argument for p < 0 (no parabola opening up), and for p = 0 with division by
// zero (invalid operation when x is 0 as well).
double segmentLength(double x, double p);

// Where a tendon's calculation stopped.
enum class Stage { entry, equations, length };

// One tendon from its answers to the prompts, taken as the prompts take them
// (answers[i] for parameter i; those the profile does not ask are not read),
// to its strand length: the window's whole road without typing over a box.
struct Tendon {
    Profile profile = Profile::c2a;
    ParameterTexts parameters;
    Coefficients coefficients;
    StrandLength length;
    std::optional<numeric::Failure> failure;
    Stage stage = Stage::entry; // where it failed, when it did
    int failedParameter = -1;   // at entry, the parameter whose answer failed
    // Worked out within a schedule's limits where the window's would have
    // refused it: an answer, a segment or the strand beyond 32767 mm.
    bool beyondWindow = false;
};

Tendon computeTendon(Profile profile, const ParameterTexts &answers, Limits limits = Limits::window);

} // namespace calc
