#include "platform/failure_report.h"

#include "calc/messages.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

void MessageBoxReport::report(const numeric::Failure &failure)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillmere"),
                    QString::fromStdString(calc::failureReport(failure)), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

} // namespace platform
