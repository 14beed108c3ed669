// The schedule's rules on rows, through the program's own road (the reader,
// the rows worked out and joined into tendons, the marks): what each column
// refuses and why, naming the column as the header does; what the rows of
// one tendon must agree on, a span that fails, a step at a support, a mark
// used again.

#include "schedule/stream.h"

#include <QTest>

#include <sstream>

namespace {

// A schedule's results as the program works them out.
std::vector<schedule::Result> workedOut(const std::string &text)
{
    std::istringstream in(text);
    schedule::Reader reader(in);
    std::vector<schedule::Result> results;
    schedule::workOutAll(reader, {}, [&](const schedule::TendonRows &tendon) {
        for (const schedule::Result *row : tendon.rows)
            results.push_back(*row);
    });
    return results;
}

constexpr const char *header = "name,tendon,profile,e1,e2,e3,k1,k2,k3,lc,lg1,lg2,count,sigma_con,duct,kappa,mu,ends,"
                               "lock_off,strands,strand_size,set\n";
// A C4 span with every stressing column empty, its lc given.
std::string c4(const std::string &name, const std::string &mark, const std::string &lc, const std::string &stressing = ",,,,,,,,,")
{
    return name + "," + mark + ",C4,150,90,120,0.12,0.45,0.08," + lc + ",1200,," + stressing + "\n";
}

// The stressing columns with one of them given, in the header's order.
std::string given(const char *column, const char *value)
{
    const char *columns[]{"count", "sigma_con", "duct", "kappa", "mu", "ends", "lock_off", "strands", "strand_size", "set"};
    std::string fields;
    for (int n = 0; n < 10; ++n)
        fields += std::string(n ? "," : "") + (std::string(columns[n]) == column ? value : "");
    return fields;
}

} // namespace

class RowsTest : public QObject {
    Q_OBJECT

private slots:
    // A row the schedule cannot work out: its status, the column at fault
    // and what its message says of the field.
    void refused_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("more"); // said further on, "" for nothing
        using C = schedule::input::Column;
        const auto add = [](const char *what, const std::string &row, const char *status, int fault, const std::string &said,
                            const char *more = "") {
            QTest::newRow(what) << QString::fromStdString(row) << status << fault << QString::fromStdString(said) << QString::fromUtf8(more);
        };
        add("lc not a number", c4("r", "", "12abc"), "input", C::lc, "lc 列“12abc”不是数");
        add("lc with a decimal comma", c4("r", "", "\"1,5\""), "input", C::lc, "lc 列“1,5”不是数");
        add("lc beyond a double", c4("r", "", "1e400"), "overflow", C::lc, "");
        add("lc beyond a long", c4("r", "", "3e9"), "overflow", C::lc, "");
        add("no such profile", "x,,C5,1,1,1,1,1,1,1,1,1,,,,,,,,,,\n", "input", C::profile, "profile 列“C5”不是线型");
        add("a C2a with e1 empty", "e,,C2a,,1,,,,,1,1,1,,,,,,,,,,\n", "input", C::e1, "e1 列“”为空");
        add("count of none", c4("r", "", "20000", given("count", "0")), "input", C::count, "count 列“0”");
        const struct {
            const char *column, *value;
            C at;
            const char *more;
        } stressing[]{
            {"sigma_con", "abc", C::sigmaCon, ""}, {"sigma_con", "0", C::sigmaCon, ""},
            {"sigma_con", "1900", C::sigmaCon, "0.80 fptk（1488 MPa）"}, {"sigma_con", "1860", C::sigmaCon, "0.80 fptk（1488 MPa）"},
            {"duct", "wood", C::duct, ""}, {"kappa", "-0.001", C::kappa, ""}, {"mu", "1e400", C::mu, ""},
            {"ends", "3", C::ends, ""}, {"ends", "1.5", C::ends, ""}, {"strands", "0", C::strands, ""},
            {"strands", "2.5", C::strands, ""}, {"set", "-1", C::set, ""}, {"set", "51", C::set, ""},
            {"lock_off", "later", C::lockOff, ""}, {"strand_size", "15", C::strandSize, ""},
        };
        for (const auto &s : stressing) {
            const std::string what = std::string(s.column) + " " + s.value;
            add(what.c_str(), c4("r", "", "20000", given(s.column, s.value)), "input", s.at,
                std::string(s.column) + " 列“" + s.value + "”", s.more);
        }
    }
    void refused()
    {
        QFETCH(QString, row);
        QFETCH(QString, status);
        QFETCH(int, fault);
        QFETCH(QString, said);
        QFETCH(QString, more);
        const std::vector<schedule::Result> results = workedOut(header + row.toStdString());
        QCOMPARE(results.size(), std::size_t(1));
        const schedule::Result &r = results.front();
        QCOMPARE(QString::fromStdString(r.cells[schedule::output::status]), status);
        QCOMPARE(r.fault, fault);
        const QString message = QString::fromStdString(r.cells[schedule::output::message]);
        QVERIFY2(message.contains(said) && message.indexOf(more, message.indexOf(said)) >= 0, qPrintable(message));
        QVERIFY(r.cells[schedule::output::elong].empty());
    }

    // Rows of one mark joined into a tendon: which row says what. `row`:
    // the row checked; `cell` holds `said` ("" for a cell that must be empty).
    void tendons_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("said");
        using O = schedule::output::Column;
        const std::string disagree = c4("T2-1", "T2", "17970", given("sigma_con", "1395")) + c4("T2-2", "T2", "12000", given("sigma_con", "1302"));
        const std::string failed = c4("T3-1", "T3", "17970") + c4("T3-2", "T3", "3000000000");
        const std::string stepped = c4("T4-1", "T4", "17970") + "T4-2,T4,C4,180,100,120,0.1,0.5,0.1,12000,1200,,,,,,,,,,,\n";
        // A 17970 mm span's strand is 18110 mm, as the golden table has it.
        const std::string again = c4("T1-1", "T1", "17970") + c4("T1-2", "T1", "17970") + c4("U", "", "12000") + c4("T1-again", "T1", "17970");
        const std::string counted = c4("T5-1", "T5", "17970", given("count", "2")) + c4("T5-2", "T5", "17970");
        const auto add = [](const char *what, const std::string &rows, int row, int cell, const char *said) {
            QTest::newRow(what) << QString::fromStdString(rows) << row << cell << QString::fromUtf8(said);
        };
        add("stresses that disagree refuse the first span", disagree, 0, O::message, "束 T2 各跨的 sigma_con 列不一致（“1395”与“1302”）");
        add("and the second", disagree, 1, O::status, "input");
        add("a failed span named on the first", failed, 0, O::note, "第 2 跨（T3-2）未算出");
        add("which then has no figures", failed, 0, O::elong, "");
        add("the failed span's own status", failed, 1, O::status, "overflow");
        add("a step in the duct at a support", stepped, 0, O::note, "第 1、2 跨之间孔道错台");
        add("a mark used again is another tendon", again, 3, O::note, "束号 T1 前面已用过，此处为另一束");
        add("which is a tendon of its own", again, 3, O::tendonLength, "18110");
        add("the first tendon's strand, both spans", again, 0, O::tendonLength, "36220");
        add("its figures on its first row alone", again, 1, O::sigmaCon, "");
        add("the count of any row holds for all", counted, 1, O::count, "2");
        add("and doubles each span's total", counted, 1, O::total, "36220");
    }
    void tendons()
    {
        QFETCH(QString, rows);
        QFETCH(int, row);
        QFETCH(int, cell);
        QFETCH(QString, said);
        const std::vector<schedule::Result> results = workedOut(header + rows.toStdString());
        QVERIFY(std::size_t(row) < results.size());
        const QString text = QString::fromStdString(results[std::size_t(row)].cells[std::size_t(cell)]);
        QVERIFY2(said.isEmpty() ? text.isEmpty() : text.contains(said), qPrintable(text));
    }
};

QTEST_APPLESS_MAIN(RowsTest)
#include "tst_rows.moc"
