// The real prompt and failure-report dialogs, driven the way an engineer would:
// a timer finds the open dialog, types or presses a key, and the call returns.

#include "platform/failure_report.h"
#include "platform/prompt.h"
#include "platform/version.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs `act` on the dialog that becomes modal next. Polls, because the dialog
// only exists once the call under test has entered its event loop.
void whenModal(std::function<void(QWidget *)> act)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(modal);
        }
    });
    poll->start(10);
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void promptReturnsTypedAnswerOnReturn();
    void promptCancelGivesEmptyText();
    void failureReportNamesKindAndContext_data();
    void failureReportNamesKindAndContext();
    void failureBoxIsModalAndTitled();
    void versionText();
};

void DialogsTest::promptReturnsTypedAnswerOnReturn()
{
    QString title, label, initial;
    whenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QInputDialog *>(modal);
        QVERIFY(dialog);
        title = dialog->windowTitle();
        label = dialog->labelText();
        auto *line = dialog->findChild<QLineEdit *>();
        QVERIFY(line);
        initial = line->text();
        QTest::keyClicks(line, QStringLiteral("12.5"));
        QTest::keyClick(line, Qt::Key_Return);
    });

    platform::DialogPrompt prompt;
    const QString answer = prompt.ask(QStringLiteral(" 请输入e1 "));

    QCOMPARE(answer, QStringLiteral("12.5"));
    QCOMPARE(title, QStringLiteral("Quillmere"));
    QCOMPARE(label, QStringLiteral(" 请输入e1 ")); // blanks kept as the question has them
    QCOMPARE(initial, QString());                  // no default answer
}

void DialogsTest::promptCancelGivesEmptyText()
{
    whenModal([](QWidget *modal) {
        auto *line = modal->findChild<QLineEdit *>();
        QVERIFY(line);
        QTest::keyClicks(line, QStringLiteral("800"));
        QTest::keyClick(line, Qt::Key_Escape);
    });

    platform::DialogPrompt prompt;
    const QString answer = prompt.ask(QStringLiteral(" 请输入梁长lc "));
    QVERIFY(answer.isNull() || answer.isEmpty());
}

void DialogsTest::failureReportNamesKindAndContext_data()
{
    QTest::addColumn<numeric::FailureKind>("kind");
    QTest::addColumn<QString>("named");
    QTest::newRow("overflow") << numeric::FailureKind::Overflow << QStringLiteral("溢出 (overflow)");
    QTest::newRow("division by zero") << numeric::FailureKind::DivisionByZero
                                      << QStringLiteral("除数为零 (division by zero)");
    QTest::newRow("invalid operation") << numeric::FailureKind::InvalidOperation
                                       << QStringLiteral("无效运算 (invalid operation)");
    QTest::newRow("invalid argument") << numeric::FailureKind::InvalidArgument
                                      << QStringLiteral("无效参数 (invalid argument)");
}

void DialogsTest::failureReportNamesKindAndContext()
{
    QFETCH(numeric::FailureKind, kind);
    QFETCH(QString, named);

    const QString bare = platform::failureMessage(numeric::Failure(kind));
    QVERIFY2(bare.contains(named), qPrintable(bare));

    const QString withContext = platform::failureMessage(numeric::Failure(kind, "回答 请输入e1 时"));
    QVERIFY2(withContext.contains(named), qPrintable(withContext));
    QVERIFY2(withContext.contains(QStringLiteral("回答 请输入e1 时")), qPrintable(withContext));
}

void DialogsTest::failureBoxIsModalAndTitled()
{
    QString title, text;
    bool modal = false;
    whenModal([&](QWidget *widget) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        QVERIFY(box);
        modal = box->isModal();
        title = box->windowTitle();
        text = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });

    platform::MessageBoxReport report;
    report.report(numeric::Failure(numeric::FailureKind::Overflow, "lc"));

    QVERIFY(modal);
    QCOMPARE(title, QStringLiteral("Quillmere"));
    QVERIFY2(text.contains(QStringLiteral("溢出 (overflow)")), qPrintable(text));
}

void DialogsTest::versionText()
{
    QCOMPARE(platform::versionText(), QStringLiteral("2019.06.0006"));
}

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
