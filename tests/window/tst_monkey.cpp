// A monkey at the window: 20,000 random clicks, prompt answers and box texts
// from a fixed seed, including texts no engineer should type. After each event
// the program must still stand, a click must report at most one failure, a
// failed click must leave the boxes it did not reach as they were, and what
// the program writes into the result box must be empty or a whole number of
// millimetres.

#include "support/scripted_services.h"
#include "support/tendon_table.h"
#include "window/form1.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <random>

using window::Form1;

namespace {

// Texts from the boxes' whole range, given to the prompts and typed into
// boxes: sound numbers, edges of the rules, words, control characters, emoji,
// right-to-left text, numbers of any size and, rarely, a megabyte.
class RandomTexts final : public platform::Prompt {
public:
    QString ask(const QString &) override
    {
        static const QStringList fixed{
            "", "100", "0.1", "0.5", "0.6", "20000", "1000", "0", "-5", "12.5", "4E-05", "-4E-06", "30000",
            "40000", "32767.5", "-32768.5", "1e400", "-1e400", "1e-400", "-0", "nan", "inf", " 无此值 ",
            " 无此方程 ", "1,5", "20 000", "\u0001\t\n\r42", "😀123", "שלום 5", "\u202E12", "１２",
            QString(QChar(0xD800)) + "7", "1e", "-.5e-3x", "0x1F"};
        const int pick = int(random() % 1000);
        if (pick == 0 && ++huge <= 3)
            return QString(1'000'000, QLatin1Char('9'));
        if (pick < 300) {
            const double value = std::pow(10.0, std::uniform_real_distribution<double>(-12, 12)(random));
            return QString::number(random() & 1 ? value : -value, 'g', int(random() % 17) + 1);
        }
        return fixed.at(int(random() % fixed.size()));
    }

    std::mt19937_64 random{20190606};
    int huge = 0;
};

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void twentyThousandRandomEvents();
};

void MonkeyTest::twentyThousandRandomEvents()
{
    RandomTexts texts;
    std::mt19937_64 &random = texts.random;
    testing::RecordingReport failures;
    platform::Services services{texts, failures};
    Form1 form(services);
    form.Form_Load();
    form.show();

    // The boxes a failed click may change: the coefficients it reached, the
    // length it emptied, the parameters and status a selection writes at once.
    const QHash<QString, QList<int>> mayChange{
        {"Command1", {10, 11, 12, 13}}, {"Command2", {14}}, {"Option1", {3, 4, 5, 6, 15}},
        {"Option2", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15}}};
    int failed = 0;
    for (int event = 0; event < 20'000; ++event) {
        const int what = int(random() % 100);
        if (what >= 45) {
            form.textBox(int(random() % 15) + 1)->setText(texts.ask({}));
            continue;
        }
        const QStringList before = QStringList{QString()} + testing::boxTexts(form); // [n] is Text n
        const std::size_t reportsBefore = failures.reported.size();
        const int number = int(random() % (what < 15 ? 2 : 4)) + 1;
        QAbstractButton *button = what < 15 ? static_cast<QAbstractButton *>(form.optionButton(number))
                                            : form.commandButton(number);
        // A selected option clicked again runs nothing.
        const QString handler = button->isChecked() ? QString() : button->objectName();
        QTest::mouseClick(button, Qt::LeftButton);

        const QStringList after = QStringList{QString()} + testing::boxTexts(form);
        const QString context = QStringLiteral("event %1, %2").arg(event).arg(handler);
        bool whole = false;
        const short millimetres = after[14].toShort(&whole);
        QVERIFY2(after[14] == before[14] || after[14].isEmpty() || (whole && QString::number(millimetres) == after[14]),
                 qPrintable(context + ": " + after[14].left(40)));
        const std::size_t reports = failures.reported.size() - reportsBefore;
        QVERIFY2(reports <= 1, qPrintable(context));
        if (reports == 0)
            continue;
        ++failed;
        QVERIFY2(mayChange.contains(handler), qPrintable(context + ": a failure where none can happen"));
        for (int n = 1; n <= 15; ++n)
            QVERIFY2(mayChange[handler].contains(n) || after[n] == before[n],
                     qPrintable(context + QStringLiteral(": Text%1").arg(n)));
        if (handler == u"Command2")
            QCOMPARE(after[14], QString());
        if (handler.startsWith(u"Option"))
            QCOMPARE(after[15], testing::q(calc::status::enterParameters));
        if (handler == u"Option2") // emptied even when an answer fails
            for (int n = 1; n <= 13; ++n)
                QCOMPARE(after[n], n == 9 ? testing::q(calc::placeholder::noValue) : QString());
    }
    qInfo("%d failed clicks reported", failed);
    QVERIFY(failed > 100); // the monkey did reach the failure paths
}

QTEST_MAIN(MonkeyTest)
#include "tst_monkey.moc"
