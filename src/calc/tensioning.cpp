#include "calc/tensioning.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace calc {

namespace {

constexpr std::array<DuctKind, 4> kinds{{
    {"metal", "金属波纹管", {0.0015, 0.25}, true},
    {"plastic", "塑料波纹管", {0.0015, 0.15}, true},
    {"steel", "钢管", {0.0010, 0.30}, true},
    {"unbonded", "无粘结", {0.0040, 0.09}, false},
}};

// The elongation of a piece with friction z stressed from sigmaIn.
double stretch(double sigmaIn, double z, double length, double ep)
{
    const double average = z > 0 ? (1 - std::exp(-z)) / z : 1.0;
    return sigmaIn * average * length / ep;
}

// Where the stressing from one end stops: at a friction reached, or (on a
// tendon with no friction at all) at a length reached.
struct Limit {
    bool byFriction;
    double value;
};

// Stresses the pieces from one end up to the limit; the piece that holds it
// counts with its share of length, angle and friction, z growing evenly along it.
double stressFrom(std::vector<PieceStress> &out, const std::vector<Piece> &pieces, PieceStress::Jack jack,
                  Duct duct, double sigma, Limit limit, double ep)
{
    double elongation = 0, reached = 0;
    for (std::size_t n = 0; n < pieces.size() && reached < limit.value; ++n) {
        const std::size_t at = jack == PieceStress::right ? pieces.size() - 1 - n : n;
        const Piece &piece = pieces[at];
        const double z = duct.friction(piece);
        const double along = limit.byFriction ? z : piece.length;
        const double share = reached + along > limit.value ? (limit.value - reached) / along : 1.0;
        if (share < 1e-12)
            break; // the limit fell at this piece's start: nothing of it is left to this jack
        const double part = z * share, length = piece.length * share;
        const double e = stretch(sigma, part, length, ep);
        out.push_back({jack, at, length, piece.theta * share, part, sigma, sigma * std::exp(-part), e});
        elongation += e;
        sigma *= std::exp(-part);
        reached += along * share;
    }
    return elongation;
}

} // namespace

const DuctKind *ductNamed(std::string_view name)
{
    const auto sameLetters = [&](std::string_view english) {
        return name.size() == english.size() && std::equal(name.begin(), name.end(), english.begin(), [](char a, char b) {
                   return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
               });
    };
    for (const DuctKind &kind : kinds)
        if (sameLetters(kind.name) || name == kind.chinese)
            return &kind;
    return nullptr;
}

std::string_view ductNames() { return "metal, plastic, steel, unbonded"; }

std::vector<Piece> tensioningPieces(const Tendon &tendon)
{
    const auto &segments = tendon.length.segments;
    std::vector<Piece> pieces;
    pieces.reserve(segments.size() + 1);
    // The tangent at a segment's far end from its vertex: atan(2·a·x), where
    // p = 1/(2a) is what the length was worked out from, the coefficient as
    // its text reads.
    const auto turn = [&](std::size_t i) { return std::atan(segments[i].x / segments[i].p); };
    double x = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (tendon.profile == Profile::c2a && i == 1)
            pieces.push_back({0, std::abs(turn(0) - turn(1)), x, x});
        // A coefficient below zero curves the segment the other way: it still turns.
        pieces.push_back({double(segments[i].millimetres), std::abs(turn(i)), x, x + segments[i].x});
        x += segments[i].x;
    }
    return pieces;
}

Tensioning tension(const std::vector<Piece> &pieces, Duct duct, double sigmaCon, Ends ends, double ep, double jack)
{
    Tensioning t;
    t.pieces.reserve(pieces.size() + 1);
    double total = 0, length = 0;
    for (const Piece &piece : pieces) {
        total += duct.friction(piece);
        t.theta += piece.theta;
        length += piece.length;
    }
    const double inJack = sigmaCon * jack / ep;
    if (ends != Ends::both) {
        const bool left = ends == Ends::left;
        const double e = stressFrom(t.pieces, pieces, left ? PieceStress::left : PieceStress::right, duct, sigmaCon,
                                    {total > 0, INFINITY}, ep) + inJack;
        (left ? t.elongLeft : t.elongRight) = e;
        t.sigmaFar = sigmaCon * std::exp(-total);
        t.divide = left ? length : 0;
        return t;
    }
    // Two jacks: the tendon divides where each end's friction is half the
    // whole, or at mid-length where there is no friction at all.
    const Limit half{total > 0, total > 0 ? total / 2 : length / 2};
    t.elongLeft = stressFrom(t.pieces, pieces, PieceStress::left, duct, sigmaCon, half, ep) + inJack;
    for (const PieceStress &piece : t.pieces)
        t.divide += piece.length;
    t.elongRight = stressFrom(t.pieces, pieces, PieceStress::right, duct, sigmaCon, half, ep) + inJack;
    t.sigmaFar = sigmaCon * std::exp(-total / 2);
    return t;
}

StressAlong stressAlong(const std::vector<Piece> &pieces, const Tensioning &t, int samples)
{
    StressAlong along;
    bool leftJack = false;
    for (const PieceStress &piece : t.pieces) {
        const bool right = piece.jack == PieceStress::right;
        const Piece &whole = pieces[piece.piece];
        const double share = whole.length > 0 ? piece.length / whole.length : 1.0;
        const double run = (whole.to - whole.from) * share;
        const double from = right ? whole.to : whole.from, to = right ? whole.to - run : whole.from + run;
        auto &points = along.jack[right];
        points.push_back({from, piece.sigmaIn});
        for (int k = 1; k <= samples; ++k) {
            const double u = double(k) / samples;
            points.push_back({from + (to - from) * u, piece.sigmaIn * std::exp(-piece.z * u)});
        }
        if (!right) {
            along.divide = to;
            leftJack = true;
        }
    }
    if (leftJack && along.jack[1].empty())
        along.divide = pieces.empty() ? 0 : pieces.back().to;
    return along;
}

} // namespace calc
