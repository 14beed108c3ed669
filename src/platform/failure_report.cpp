#include "platform/failure_report.h"

#include "platform/prompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {

void MessageBoxReport::report(numeric::FailureKind, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillmere"), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.button(QMessageBox::Ok)->setText(okCaption());
    box.exec();
}

} // namespace platform
