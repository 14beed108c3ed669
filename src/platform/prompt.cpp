#include "platform/prompt.h"

#include <QApplication>
#include <QInputDialog>

namespace platform {

QString DialogPrompt::ask(const QString &question)
{
    // Parented to the calculator window so the dialog stays above it and
    // blocks it until answered.
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Quillmere"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(question);
    dialog.setTextValue(QString());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

} // namespace platform
