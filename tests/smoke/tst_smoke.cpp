// Starts the real program on a private Xvfb server and checks what an engineer
// would see first: one window titled "Quillmere", mapped, of the designed size
// and place; and that closing it ends the program with status 0.

#include "x11_probe.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <optional>

class SmokeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void windowAppearsAndClosesCleanly();

private:
    QProcess server;
    QString display;
};

void SmokeTest::initTestCase()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    QVERIFY2(!xvfb.isEmpty(), "Xvfb is not installed (Debian package xvfb)");
    // -displayfd 1: the server picks a free display and prints its number.
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                        QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QVERIFY(server.waitForStarted(10000));
    QElapsedTimer clock;
    clock.start();
    QByteArray number;
    while (!number.contains('\n') && clock.elapsed() < 15000) {
        server.waitForReadyRead(500);
        number += server.readAllStandardOutput();
    }
    QVERIFY2(number.contains('\n'), "Xvfb did not report its display");
    display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
}

void SmokeTest::cleanupTestCase()
{
    server.terminate();
    server.waitForFinished(5000);
}

void SmokeTest::windowAppearsAndClosesCleanly()
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(QUILLMERE_EXE), {});
    QVERIFY(program.waitForStarted(10000));

    x11probe::Connection x(display.toStdString());
    QVERIFY(x.isOpen());
    std::optional<x11probe::WindowInfo> window;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000 && program.state() == QProcess::Running) {
        window = x.findWindow("Quillmere");
        if (window && window->viewable)
            break;
        QTest::qWait(50);
    }
    QVERIFY2(window && window->viewable, "no mapped window titled Quillmere");

    QCOMPARE(window->width, 688);  // 10320 twips
    QCOMPARE(window->height, 872); // 13080 twips
    QCOMPARE(window->x, 118);      // 1770 twips from the screen's left
    QCOMPARE(window->y, 128);      // 1920 twips from its top

    x.requestClose(window->id);
    QVERIFY2(program.waitForFinished(10000), "the program did not end when its window closed");
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

QTEST_GUILESS_MAIN(SmokeTest)
#include "tst_smoke.moc"
