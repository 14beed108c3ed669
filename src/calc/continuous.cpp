#include "calc/continuous.h"

namespace calc {

ContinuousTendon continuousTendon(std::span<const Tendon *const> spans)
{
    ContinuousTendon t;
    t.starts.push_back(0);
    HeldParameters before;
    for (std::size_t n = 0; n < spans.size(); ++n) {
        const Tendon &span = *spans[n];
        const HeldParameters held = readParameters(span.parameters);
        if (n > 0) {
            const double leftEnd = spans[n - 1]->profile == Profile::c4 ? before.e3 : before.lg1 - before.e2;
            t.supports.push_back({n - 1, leftEnd, held.e1});
        }
        for (Piece piece : tensioningPieces(span)) {
            piece.from += t.starts.back();
            piece.to += t.starts.back();
            t.pieces.push_back(piece);
        }
        t.length += *span.length.total;
        t.starts.push_back(t.starts.back() + held.lc);
        before = held;
    }
    return t;
}

} // namespace calc
