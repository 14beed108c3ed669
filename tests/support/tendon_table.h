#pragma once

// The golden table of tendons, worked out independently of the program by
// tools/make_golden_table.py, and the road every row takes through a window:
// select the profile and answer its prompts, type over some boxes, compute the
// parabola equations, type over more, compute the strand length. A failure
// ends the road; the boxes must then show what was written before it.

#include "calc/messages.h"
#include "numeric/failure.h"

#include <QFile>
#include <QList>
#include <QStringList>
#include <QTest>

#include <clocale>
#include <optional>
#include <utility>

namespace testing {

// CTest runs some suites a second time under a German locale. Make sure it
// took, or the second run would prove nothing.
inline void checkCommaLocale()
{
    std::setlocale(LC_ALL, ""); // as QCoreApplication does on start
    if (qEnvironmentVariableIsSet("QUILLMERE_EXPECT_COMMA_LOCALE"))
        QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
}

inline QString kindWord(std::optional<numeric::FailureKind> kind)
{
    static const char *const words[]{"overflow", "division by zero", "invalid operation",
                                     "invalid argument"};
    return kind ? QString::fromLatin1(words[int(*kind)]) : QString();
}

inline QString q(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

struct Tendon {
    QString name;
    int profile = 0; // 1 C2a, 2 C4
    QStringList answers;
    QList<std::pair<int, QString>> typedAfterEntry, typedAfterEquations;
    QStringList boxes; // Text1..Text14 at the end of the road
    QString failedAt, failure;
};

inline QList<std::pair<int, QString>> typedTexts(const QString &field)
{
    QList<std::pair<int, QString>> typed;
    for (const QString &item : field.split(u';', Qt::SkipEmptyParts))
        typed.append({item.section(u'=', 0, 0).toInt(), item.section(u'=', 1)});
    return typed;
}

inline const QList<Tendon> &tendons()
{
    static const QList<Tendon> table = [] {
        QFile file(QStringLiteral(QUILLMERE_TENDONS));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", QUILLMERE_TENDONS);
        QList<Tendon> rows;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        for (const QString &line : lines.mid(1)) {
            const QStringList f = line.split(u',');
            Tendon t{f[0], f[1] == u"C2a" ? 1 : 2, f[2].split(u';'), typedTexts(f[3]),
                     typedTexts(f[4]), f.mid(5, 14), f[20], f[21]};
            rows.append(t);
        }
        return rows;
    }();
    return table;
}

// A window the road can be walked through. Each step returns the failure it
// met, if any.
class Road {
public:
    virtual ~Road() = default;
    virtual std::optional<numeric::FailureKind> select(int profile, const QStringList &answers) = 0;
    virtual std::optional<numeric::FailureKind> click(int command) = 0;
    virtual void type(int box, const QString &text) = 0;
    virtual QString shown(int box) const = 0;
};

// One QTest row per tendon, named by the tendon.
inline void tendonRows()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < tendons().size(); ++i)
        QTest::newRow(qPrintable(tendons()[i].name)) << i;
}

inline void walk(const Tendon &t, Road &road)
{
    QString failedAt, failure;
    const auto step = [&](const char *name, const QList<std::pair<int, QString>> &typed, auto run) {
        if (!failedAt.isEmpty())
            return;
        for (const auto &[box, text] : typed)
            road.type(box, text);
        if (const auto kind = run()) {
            failedAt = QString::fromLatin1(name);
            failure = kindWord(kind);
        }
    };
    step("entry", {}, [&] { return road.select(t.profile, t.answers); });
    step("equations", t.typedAfterEntry, [&] { return road.click(1); });
    step("length", t.typedAfterEquations, [&] { return road.click(2); });

    QStringList boxes;
    for (int n = 1; n <= 14; ++n)
        boxes << road.shown(n);
    QCOMPARE(boxes, t.boxes);
    QCOMPARE(failedAt, t.failedAt);
    QCOMPARE(failure, t.failure);
    // The status line still asks for the step that failed, or shows the result.
    const std::string_view status = failedAt == u"entry"       ? calc::status::enterParameters
                                    : failedAt == u"equations" ? calc::status::computeEquations
                                    : failedAt == u"length"    ? calc::status::computeLength
                                                               : calc::status::readResult;
    QCOMPARE(road.shown(15), q(status));
}

} // namespace testing
