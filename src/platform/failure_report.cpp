#include "platform/failure_report.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

QString failureKindText(numeric::FailureKind kind)
{
    QString chinese;
    switch (kind) {
    case numeric::FailureKind::Overflow:
        chinese = QStringLiteral("溢出");
        break;
    case numeric::FailureKind::DivisionByZero:
        chinese = QStringLiteral("除数为零");
        break;
    case numeric::FailureKind::InvalidOperation:
        chinese = QStringLiteral("无效运算");
        break;
    case numeric::FailureKind::InvalidArgument:
        chinese = QStringLiteral("无效参数");
        break;
    }
    return QStringLiteral("%1 (%2)").arg(chinese, QLatin1String(numeric::englishName(kind)));
}

QString failureMessage(const numeric::Failure &failure)
{
    QString text = QStringLiteral("运行错误：") + failureKindText(failure.kind());
    if (!failure.context().empty())
        text += QLatin1Char('\n') + QString::fromStdString(failure.context());
    text += QStringLiteral("\n\n计算已停止，已写入的内容保持不变。");
    return text;
}

void MessageBoxReport::report(const numeric::Failure &failure)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillmere"), failureMessage(failure),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace platform
