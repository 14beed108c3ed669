#include "platform/failure_report.h"


#include <QApplication>
#include <QMessageBox>

namespace platform {

void MessageBoxReport::report(numeric::FailureKind, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillmere"), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace platform
