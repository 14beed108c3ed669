// The real failure report, closed the way an engineer would: a timer finds the
// open box and presses Return. (The real prompt is answered by keyboard in the
// profile selection tests.)

#include "platform/failure_report.h"

#include <QApplication>
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
    void failureBoxIsModalAndTitled();
};

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
