#include "calc/tensioning.h"

#include "numeric/number_text.h"

#include <cmath>

namespace calc {

namespace {

double frictionOf(const Piece &piece, Duct duct) { return duct.kappa * piece.length / 1000 + duct.mu * piece.theta; }

// The elongation of a piece with friction z stressed from sigmaIn.
double stretch(double sigmaIn, double z, double length, double ep)
{
    const double average = z > 0 ? (1 - std::exp(-z)) / z : 1.0;
    return sigmaIn * average * length / ep;
}

// Stresses the pieces from one end until the friction reaches `upTo`; the
// piece that holds that point counts with its share of length and friction.
double stressFrom(std::vector<PieceStress> &out, const std::vector<Piece> &pieces, bool fromRight, Duct duct,
                  double sigma, double upTo, double ep)
{
    double elongation = 0, reached = 0;
    for (std::size_t n = 0; n < pieces.size() && reached < upTo; ++n) {
        const Piece &piece = pieces[fromRight ? pieces.size() - 1 - n : n];
        const double z = frictionOf(piece, duct);
        const double share = z > 0 && reached + z > upTo ? (upTo - reached) / z : 1.0;
        const double part = z * share;
        const double length = piece.length * share;
        const double e = stretch(sigma, part, length, ep);
        out.push_back({part, sigma, sigma * std::exp(-part), e});
        elongation += e;
        sigma *= std::exp(-part);
        reached += part;
    }
    return elongation;
}

} // namespace

std::vector<Piece> tensioningPieces(const Tendon &tendon)
{
    const auto &segments = tendon.length.segments;
    std::vector<Piece> pieces;
    const auto turn = [&](std::size_t i) {
        return std::atan(2 * numeric::readNumber(tendon.coefficients.text[i]) * segments[i].x);
    };
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (tendon.profile == Profile::c2a && i == 1)
            pieces.push_back({0, std::abs(turn(0) - turn(1))});
        pieces.push_back({double(segments[i].millimetres), turn(i)});
    }
    return pieces;
}

Tensioning tension(const std::vector<Piece> &pieces, Duct duct, double sigmaCon, int ends, double ep, double jack)
{
    Tensioning t;
    double total = 0, length = 0;
    for (const Piece &piece : pieces) {
        total += frictionOf(piece, duct);
        t.theta += piece.theta;
        length += piece.length;
    }
    const double inJack = sigmaCon * jack / ep;
    if (ends == 1) {
        t.elongLeft = stressFrom(t.pieces, pieces, false, duct, sigmaCon, INFINITY, ep) + inJack;
        t.sigmaFar = sigmaCon * std::exp(-total);
        t.divide = length;
        return t;
    }
    if (total <= 0) { // no friction at all: the jacks meet at mid-length
        t.elongLeft = t.elongRight = sigmaCon * length / 2 / ep + inJack;
        t.sigmaFar = sigmaCon;
        t.divide = length / 2;
        return t;
    }
    // Two jacks: the tendon divides where each end's friction is half the whole.
    t.elongLeft = stressFrom(t.pieces, pieces, false, duct, sigmaCon, total / 2, ep) + inJack;
    double reached = 0; // the dividing point, z growing evenly along the piece that holds it
    for (const Piece &piece : pieces) {
        const double z = frictionOf(piece, duct);
        if (reached + z >= total / 2) {
            t.divide += z > 0 ? piece.length * (total / 2 - reached) / z : 0;
            break;
        }
        reached += z;
        t.divide += piece.length;
    }
    t.elongRight = stressFrom(t.pieces, pieces, true, duct, sigmaCon, total / 2, ep) + inJack;
    t.sigmaFar = sigmaCon * std::exp(-total / 2);
    return t;
}

} // namespace calc
