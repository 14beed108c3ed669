// The live schedule after a run of edits shows what working out the whole
// schedule afresh shows, row for row, and says every row whose results
// changed: a page that repaints only the rows it is told of then shows the
// same. Edits regroup tendons (a mark changed, a row emptied between two
// spans, rows cut off and given back), reuse a mark, change the stressing.

#include "schedule/live.h"

#include <QTest>

#include <algorithm>
#include <map>
#include <sstream>

namespace {

// "name profile lc mark" rows over one C4's other fields; "-" an empty row.
std::vector<schedule::Record> rows(const std::string &text)
{
    std::vector<schedule::Record> records;
    std::istringstream in(text);
    for (std::string name, lc, mark; in >> name;) {
        schedule::Record &record = records.emplace_back();
        if (name == "-")
            continue;
        in >> lc >> mark;
        const char *fields[]{"", "C4", "150", "90", "120", "0.12", "0.45", "0.08", "", "1200", ""};
        for (int column = 0; column <= schedule::input::lg2; ++column)
            record.fields[std::size_t(column)] = fields[column];
        record.fields[schedule::input::name] = name;
        record.fields[schedule::input::lc] = lc;
        record.fields[schedule::input::tendon] = mark == "." ? "" : mark;
    }
    return records;
}

// What a row shows, "" for none: the column at fault, its place in its
// tendon and its cells.
std::string shownText(const schedule::Result *row)
{
    if (!row)
        return {};
    std::string text = std::to_string(row->fault) + "/" + std::to_string(row->spans);
    for (const std::string &cell : row->cells)
        text += "|" + cell;
    return text;
}

// The schedule worked out afresh: what each row shows, "" for none.
std::vector<std::string> afresh(std::span<const schedule::Record> records, const schedule::Stressing &stressing)
{
    std::vector<std::string> shown(records.size());
    std::vector<schedule::Result> results(records.size());
    schedule::TendonMarks marks;
    for (std::size_t first = 0, last; first < records.size(); first = last) {
        last = schedule::tendonEnd(records, first);
        if (records[first].blank())
            continue;
        schedule::workOutTendon(records.subspan(first, last - first), stressing, std::span(results).subspan(first, last - first));
        marks.check(records[first], results[first]);
    }
    for (std::size_t n = 0; n < records.size(); ++n)
        shown[n] = shownText(records[n].blank() ? nullptr : &results[n]);
    return shown;
}

} // namespace

class LiveTest : public QObject {
    Q_OBJECT

private slots:
    void editsAsAfresh()
    {
        // Each edit: rows from `from` on, the schedule then `total` long;
        // total -1: the stressing changes (σcon 1302), rows from `from` given again.
        struct Edit {
            std::size_t from;
            const char *given;
            int total;
        };
        const std::map<std::string, std::vector<Edit>> runs{
            {"a span's field changed", {{0, "A 17970 T B 17970 T C 20000 T D 20000 .", 4}, {1, "B 18500 T", 4}}},
            {"a mark changed splits a tendon", {{0, "A 17970 T B 17970 T C 20000 T", 3}, {1, "B 17970 U", 3}}},
            {"a span emptied, then filled", {{0, "A 17970 T B 17970 T C 20000 T", 3}, {1, "-", 3}, {1, "B 17970 T", 3}}},
            {"rows cut off and given back", {{0, "A 17970 T B 17970 T C 20000 T D 20000 .", 4}, {0, "", 2}, {2, "C 20000 T D 20000 .", 4}}},
            {"a mark used before, then not", {{0, "A 17970 T B 20000 . C 17970 T", 3}, {0, "A 17970 S", 3}}},
            {"the stressing changed", {{0, "A 17970 T B 17970 T C 20000 .", 3}, {0, "", -1}, {2, "C 20000 .", 3}, {0, "A 17970 T B 17970 T", 3}}},
            {"rows given past the end", {{0, "A 17970 T B 17970 T", 2}, {1, "B 17970 T C 20000 .", 2}, {4, "E 20000 .", 2}, {5, "E 20000 .", 3}}},
        };
        for (const auto &[what, edits] : runs) {
            schedule::Schedule live;
            schedule::Stressing stressing;
            std::vector<schedule::Record> records;
            std::vector<std::string> painted; // as a page repaints the rows it is told of
            std::vector<bool> stale;
            for (const Edit &edit : edits) {
                std::vector<schedule::Record> given = rows(edit.given);
                const std::size_t total = std::size_t(edit.total);
                if (edit.total < 0) {
                    stressing.sigmaCon = 1302;
                    live.stressWith(stressing);
                    stale.assign(stale.size(), true);
                    continue;
                }
                records.resize(total);
                stale.resize(total);
                for (std::size_t n = 0; n < given.size() && edit.from + n < total; ++n) {
                    records[edit.from + n] = given[n];
                    stale[edit.from + n] = false;
                }
                painted.resize(total);
                for (const std::size_t n : live.edit(edit.from, given, total)) {
                    QVERIFY2(n < total, what.c_str());
                    painted[n] = shownText(live.row(n));
                }
                // Rows not given again since the stressing changed keep their
                // figures until they are.
                if (std::find(stale.begin(), stale.end(), true) != stale.end())
                    continue;
                const std::vector<std::string> expected = afresh(records, stressing);
                for (std::size_t n = 0; n < total; ++n) {
                    QVERIFY2(shownText(live.row(n)) == expected[n], (what + ": row " + std::to_string(n)).c_str());
                    QVERIFY2(painted[n] == expected[n], (what + ": row " + std::to_string(n) + " not said to change").c_str());
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(LiveTest)
#include "tst_live.moc"
