#pragma once

// The golden table of tendons, worked out independently of the program by
// tools/make_golden_table.py, and the road every row takes through a window:
// select the profile and answer its prompts, type over some boxes, compute the
// parabola equations, type over more, compute the strand length. A failure
// ends the road; the boxes must then show what was written before it.

#include "calc/messages.h"
#include "numeric/failure.h"

#include <QFile>
#include <QStringList>
#include <QTest>

#include <clocale>

namespace testing {

// CTest runs some suites a second time under a German locale. Make sure it
// took, or the second run would prove nothing.
inline void checkCommaLocale()
{
    std::setlocale(LC_ALL, ""); // as QCoreApplication does on start
    if (qEnvironmentVariableIsSet("QUILLMERE_EXPECT_COMMA_LOCALE"))
        QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
}

inline QString kindWord(numeric::FailureKind kind)
{
    return QStringList{"overflow", "division by zero", "invalid operation", "invalid argument"}[int(kind)];
}

inline QString q(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// The rows of the table, each as its fields: name, profile, the answers to
// the prompts, the texts typed after entry and after the equations (as
// "8=1000.5;10=4E-06"), Text1..Text14 at the end of the road, the segments'
// lengths, the step that failed, the failure's kind, and the heights at the
// key points (by each segment that touches the point) where the equations
// were computed.
inline const QList<QStringList> &tendons()
{
    static const QList<QStringList> rows = [] {
        QFile file(QStringLiteral(QUILLMERE_TENDONS));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", QUILLMERE_TENDONS);
        QList<QStringList> rows;
        // A row as a schedule works it out, past the window's limits, is no road.
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts).mid(1))
            if (!line.endsWith(u",schedule"))
                rows.append(line.split(u','));
        return rows;
    }();
    return rows;
}

// A window the road can be walked through. Each step returns the kind of the
// failure it met, in kindWord's words, or "".
class Road {
public:
    virtual ~Road() = default;
    virtual QString select(int profile, const QStringList &answers) = 0;
    virtual QString click(int command) = 0;
    virtual void type(int box, const QString &text) = 0;
    virtual QString shown(int box) const = 0;
};

// One QTest row per tendon, named by the tendon.
inline void tendonRows()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < tendons().size(); ++i)
        QTest::newRow(qPrintable(tendons()[i][0])) << i;
}

// Walks the road of the tendon in the current QTest row.
inline void walk(Road &road)
{
    QFETCH(int, row);
    const QStringList &t = tendons()[row];
    QString failedAt, failure;
    const auto step = [&](const char *name, const QString &typed, auto run) {
        if (!failedAt.isEmpty())
            return;
        for (const QString &item : typed.split(u';', Qt::SkipEmptyParts))
            road.type(item.section(u'=', 0, 0).toInt(), item.section(u'=', 1));
        failure = run();
        if (!failure.isEmpty())
            failedAt = QString::fromLatin1(name);
    };
    step("entry", {}, [&] { return road.select(t[1] == u"C2a" ? 1 : 2, t[2].split(u';')); });
    step("equations", t[3], [&] { return road.click(1); });
    step("length", t[4], [&] { return road.click(2); });

    QStringList boxes;
    for (int n = 1; n <= 14; ++n)
        boxes << road.shown(n);
    QCOMPARE(boxes, t.mid(5, 14));
    QCOMPARE(failedAt, t[20]);
    QCOMPARE(failure, t[21]);
    // The status line still asks for the step that failed, or shows the result.
    const std::string_view status = failedAt == u"entry"       ? calc::status::enterParameters
                                    : failedAt == u"equations" ? calc::status::computeEquations
                                    : failedAt == u"length"    ? calc::status::computeLength
                                                               : calc::status::readResult;
    QCOMPARE(road.shown(15), q(status));
}

} // namespace testing
