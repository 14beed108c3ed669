#include "platform/prompt.h"

#include <QApplication>
#include <QInputDialog>

namespace platform {

QString okCaption() { return QStringLiteral("确定"); }

QString cancelCaption() { return QStringLiteral("取消"); }

QString DialogPrompt::ask(const QString &question)
{
    // Parented to the calculator window so the dialog stays above it and
    // blocks it until answered.
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Quillmere"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(question);
    dialog.setTextValue(QString());
    dialog.setOkButtonText(okCaption());
    dialog.setCancelButtonText(cancelCaption());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

} // namespace platform
