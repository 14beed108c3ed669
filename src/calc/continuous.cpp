#include "calc/continuous.h"

namespace calc {

namespace {

HeldParameters held(const Tendon &span) { return readParameters(span.parameters); }

} // namespace

std::vector<double> spanStarts(Spans spans)
{
    std::vector<double> starts{0};
    for (const Tendon *span : spans)
        starts.push_back(starts.back() + held(*span).lc);
    return starts;
}

std::vector<Piece> continuousPieces(Spans spans)
{
    const std::vector<double> starts = spanStarts(spans);
    std::vector<Piece> pieces;
    for (std::size_t n = 0; n < spans.size(); ++n)
        for (Piece piece : tensioningPieces(*spans[n])) {
            piece.from += starts[n];
            piece.to += starts[n];
            pieces.push_back(piece);
        }
    return pieces;
}

long continuousLength(Spans spans)
{
    long total = 0;
    for (const Tendon *span : spans)
        total += *span->length.total;
    return total;
}

std::vector<Support> supports(Spans spans)
{
    std::vector<Support> joints;
    for (std::size_t n = 0; n + 1 < spans.size(); ++n) {
        const HeldParameters left = held(*spans[n]), right = held(*spans[n + 1]);
        const double leftEnd = spans[n]->profile == Profile::c4 ? left.e3 : left.lg1 - left.e2;
        joints.push_back({n, leftEnd, right.e1});
    }
    return joints;
}

} // namespace calc
