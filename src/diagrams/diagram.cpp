#include "diagrams/diagram.h"

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

} // namespace diagrams
