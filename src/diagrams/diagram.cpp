#include "diagrams/diagram.h"

#include "numeric/arithmetic.h"

#include <QString>

namespace diagrams {

QImage resourcePicture(int resource)
{
    return QImage(QStringLiteral(":/diagrams/%1.bmp").arg(resource));
}

QImage detailedPicture(int resource)
{
    return QImage(QStringLiteral(":/diagrams/%1@2x.png").arg(resource));
}

Placement place(float iw, float ih, float bw, float bh)
{
    // Products and quotients in double, each result stored as single. An
    // empty picture (no width or height) fails with division by zero.
    float w = bw, h = bh;
    if (iw > ih)
        h = float(numeric::divide(numeric::multiply(ih, bw), iw));
    else
        w = float(numeric::divide(numeric::multiply(iw, bh), ih));
    return {(bw - w) / 2, (bh - h) / 2, w, h};
}

} // namespace diagrams
