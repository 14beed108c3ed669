// The files the program writes, of the schedule the page shows, by the
// program's own writers: the results as CSV and TSV, the workbook and the
// calculation sheets a part at a time, the construction drawing.

#include "page.h"
#include "values.h"

#include "drawing/dxf.h"
#include "schedule/csv.h"
#include "workbook/xlsx.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace page {

namespace {

// The workbook the program writes (`-o FILE.xlsx`) of the schedule last
// worked out, by the program's own writer, written a part at a time (begun,
// rows added, finished) so the page can show how far it has got and let it
// be stopped: its bytes, or an empty array where it could not be written.
// `readings`, the site's ([{tendon, end (0 left, 1 right), typed: [...],
// at: [...]}], each reading as typed and when it was taken, in the order of
// schedule::reading), fill its site record.
// The file lives in memory only while it is written.
struct WorkbookUnderWay {
    static constexpr const char *path = "/tmp/quillmere.xlsx";
    schedule::SiteReadings taken; // the writer reads them as it writes each jack
    std::unique_ptr<schedule::ResultWriter> writer;
    std::size_t next = 0; // the next of the rows shown to write
};
std::unique_ptr<WorkbookUnderWay> underWay;

// The calculation sheet of the schedule last worked out, as the program
// writes it to PDF: a page of SVG for each of its A4 pages, in an array,
// laid out a part at a time like the workbook: begun, rows added (the pages
// laid out for them), finished.
struct SheetsUnderWay {
    figure::Sheet sheet{schedule::defaultStep, siteUrl, qrModules};
    std::size_t next = 0;
};
std::unique_ptr<SheetsUnderWay> sheetsUnderWay;
// The pages laid out since last asked, added to `pages`.
void laidOut(figure::Sheet &sheet, emscripten::val &pages)
{
    for (const figure::Figure &page : sheet.pages)
        pages.call<void>("push", "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 210 297\" class=\"sheet\">" + figure::svg(page)
                                     + "</svg>");
    sheet.pages.clear();
}

} // namespace

// The results file as the program writes it, of the schedule last worked
// out: its bytes, byte-order mark and all (a text would lose the mark).
emscripten::val resultsCsv()
{
    char *buffer = nullptr;
    std::size_t size = 0;
    std::FILE *file = open_memstream(&buffer, &size);
    {
        const auto writer = schedule::csvWriter(file);
        live.eachTendon(0, [&](const schedule::TendonRows &tendon) {
            writer->write(tendon);
            return true;
        });
        writer->finish();
    }
    std::fclose(file);
    // A new array from a view copies the bytes out of memory freed here.
    const emscripten::val bytes = emscripten::val::global("Uint8Array").new_(emscripten::typed_memory_view(size, buffer));
    std::free(buffer);
    return bytes;
}

void workbookBegin(double step, const emscripten::val &readings)
{
    underWay = std::make_unique<WorkbookUnderWay>();
    for (const emscripten::val &record : emscripten::vecFromJSArray<emscripten::val>(readings)) {
        const auto typed = emscripten::vecFromJSArray<std::string>(record["typed"]);
        const auto at = emscripten::vecFromJSArray<std::string>(record["at"]);
        if (typed.size() != schedule::reading::count || at.size() != schedule::reading::count)
            continue;
        schedule::JackReadings &jack = underWay->taken[{record["tendon"].as<std::string>(), record["end"].as<int>() == 1}];
        std::copy(typed.begin(), typed.end(), jack.typed.begin());
        std::copy(at.begin(), at.end(), jack.at.begin());
    }
    underWay->writer = schedule::xlsxWriter(WorkbookUnderWay::path, step, live.stressing(), &underWay->taken);
}

// Writes the tendons of about `rows` more rows (whole tendons); how many
// rows are written so far.
std::size_t workbookMore(std::size_t rows)
{
    if (!underWay || rows == 0)
        return underWay ? underWay->next : 0;
    std::size_t written = 0;
    underWay->next = live.eachTendon(underWay->next, [&](const schedule::TendonRows &tendon) {
        underWay->writer->write(tendon);
        return (written += tendon.rows.size()) < rows;
    });
    return underWay->next;
}

// The workbook's bytes, empty where it could not be written.
emscripten::val workbookEnd()
{
    std::vector<char> bytes;
    if (underWay) {
        workbookMore(live.size());
        const bool written = underWay->writer->finish();
        underWay.reset(); // closes the file
        if (std::FILE *file = written ? std::fopen(WorkbookUnderWay::path, "rb") : nullptr) {
            char buffer[1 << 16];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
                bytes.insert(bytes.end(), buffer, buffer + n);
            std::fclose(file);
        }
        std::remove(WorkbookUnderWay::path);
    }
    return emscripten::val::global("Uint8Array").new_(emscripten::typed_memory_view(bytes.size(), bytes.data()));
}

// A workbook stopped before its end: nothing is kept of it.
void workbookCancel()
{
    underWay.reset();
    std::remove(WorkbookUnderWay::path);
}

emscripten::val workbookFile(double step, const emscripten::val &readings)
{
    workbookBegin(step, readings);
    return workbookEnd();
}

// The same results tab-separated, as a spreadsheet pastes them.
std::string resultsTsv()
{
    std::string text;
    schedule::appendHeader(text, '\t');
    live.eachRow([&](const schedule::Result &result) {
        text += "\r\n";
        schedule::appendRecord(text, result, '\t');
    });
    return text + "\r\n";
}

// The construction drawing the program writes (--dxf, with --dxf-polylines
// where `polylines`) of the schedule last worked out, or of the tendon row
// `row` belongs to where it is one: its bytes, or an empty array where it
// could not be written.
emscripten::val drawingFile(bool polylines, int row)
{
    char *buffer = nullptr;
    std::size_t size = 0;
    std::FILE *file = open_memstream(&buffer, &size);
    bool written = false;
    {
        drawing::DxfWriter writer(file, schedule::defaultStep, polylines);
        const auto write = [&](const schedule::TendonRows &tendon) {
            writer.write(tendon);
            return true;
        };
        if (row < 0) {
            live.eachTendon(0, write);
        } else if (const auto place = tendonOf(row)) {
            std::vector<const schedule::Result *> rows;
            write(live.tendon(*place, rows));
        }
        written = writer.finish();
    }
    std::fclose(file);
    const emscripten::val bytes = emscripten::val::global("Uint8Array").new_(emscripten::typed_memory_view(written ? size : 0, buffer));
    std::free(buffer);
    return bytes;
}

void sheetsBegin() { sheetsUnderWay = std::make_unique<SheetsUnderWay>(); }
// The pages laid out for the tendons of about `rows` more rows (whole
// tendons), each ended by a record separator.
emscripten::val sheetsMore(std::size_t rows)
{
    emscripten::val pages = emscripten::val::array();
    if (!sheetsUnderWay || rows == 0)
        return pages;
    std::size_t laid = 0;
    sheetsUnderWay->next = live.eachTendon(sheetsUnderWay->next, [&](const schedule::TendonRows &tendon) {
        sheetsUnderWay->sheet.add(tendon);
        laidOut(sheetsUnderWay->sheet, pages);
        return (laid += tendon.rows.size()) < rows;
    });
    return pages;
}

// The last pages: the rest of the rows, then what the sheets end with.
emscripten::val sheetsEnd()
{
    if (!sheetsUnderWay)
        return emscripten::val::array();
    emscripten::val pages = sheetsMore(live.size());
    sheetsUnderWay->sheet.finish();
    laidOut(sheetsUnderWay->sheet, pages);
    sheetsUnderWay.reset();
    return pages;
}

// Sheets stopped before their end: nothing more is laid out.
void sheetsCancel() { sheetsUnderWay.reset(); }
emscripten::val sheetPages()
{
    sheetsBegin();
    return sheetsEnd();
}

} // namespace page
