// The real prompt and failure-report dialogs, driven the way an engineer would:
// a timer finds the open dialog, types or presses a key, and the call returns.

#include "platform/failure_report.h"
#include "platform/prompt.h"

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
    void failureBoxIsModalAndTitled();
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
    report.report(numeric::Failure(numeric::FailureKind::Overflow, "lc 的输入值“40000”"));

    QVERIFY(modal);
    QCOMPARE(title, QStringLiteral("Quillmere"));
    QVERIFY2(text.contains(QStringLiteral("溢出 (overflow)")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("lc 的输入值“40000”")), qPrintable(text));
}

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
