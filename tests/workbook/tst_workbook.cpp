// Workbooks as spreadsheet programs write them, and as no honest program
// does: packages made here part by part with minizip, read by the program's
// reader into schedule records. One table of sheets and what their rows must
// give; one of workbooks that must be refused, and why; a zip bomb.

#include "schedule/schedule.h"
#include "workbook/records.h"

#include <QTemporaryFile>
#include <QTest>

#include <sys/resource.h>
#include <zip.h>

#include <chrono>
#include <zlib.h>

namespace {

using Parts = std::vector<std::pair<std::string, std::string>>;

std::string package(const Parts &parts)
{
    QTemporaryFile file;
    file.open();
    const std::string path = file.fileName().toStdString();
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    for (const auto &[name, text] : parts) {
        zip_fileinfo info{};
        zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1);
        zipWriteInFileInZip(zip, text.data(), unsigned(text.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    const QByteArray bytes = file.readAll();
    return bytes.toStdString();
}

const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string relations = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A workbook of two worksheets, "封面" with a note and "Sheet2" with the
// rows given (whole <sheetData> content), its shared strings and its styles.
Parts workbookOf(const std::string &rows, const std::string &strings = "", const std::string &styles = "")
{
    const auto relation = [&](const char *id, const char *type, const char *target) {
        return "<Relationship Id=\"" + std::string(id) + "\" Type=\"" + relations + "/" + type + "\" Target=\"" + target + "\"/>";
    };
    Parts parts{
        {"_rels/.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                            + relation("rId1", "officeDocument", "xl/workbook.xml") + "</Relationships>"},
        {"xl/workbook.xml", "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + relations + "\"><sheets>"
                                "<sheet name=\"封面\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"Sheet2\" sheetId=\"2\" r:id=\"rId2\"/>"
                                "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels", "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                                           + relation("rId1", "worksheet", "worksheets/sheet1.xml")
                                           + relation("rId2", "worksheet", "/xl/worksheets/sheet2.xml")
                                           + relation("rId3", "sharedStrings", "sharedStrings.xml")
                                           + relation("rId4", "styles", "styles.xml") + "</Relationships>"},
        {"xl/worksheets/sheet1.xml", "<worksheet xmlns=\"" + main + "\"><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is>"
                                         "<t>说明</t></is></c></row></sheetData></worksheet>"},
        {"xl/worksheets/sheet2.xml", rows.starts_with("<") && rows.find("<sheetData") != std::string::npos
                                         ? rows : "<worksheet xmlns=\"" + main + "\"><sheetData>" + rows + "</sheetData></worksheet>"},
        {"xl/sharedStrings.xml", "<sst xmlns=\"" + main + "\">" + strings + "</sst>"},
        {"xl/styles.xml", "<styleSheet xmlns=\"" + main + "\">" + styles + "</styleSheet>"},
    };
    return parts;
}

std::string text(int column, int row, const std::string &value)
{
    return "<c r=\"" + workbook::cellName(column, row) + "\" t=\"inlineStr\"><is><t>" + value + "</t></is></c>";
}

std::string number(int column, int row, const std::string &value, const std::string &more = "")
{
    return "<c r=\"" + workbook::cellName(column, row) + "\"" + more + "><v>" + value + "</v></c>";
}

// The header row name, profile, e1, e2, lc, lg1 at `row`, and more cells.
std::string header(int row = 1, const std::string &more = "")
{
    std::string cells;
    int column = 0;
    for (const char *title : {"name", "profile", "e1", "e2", "lc", "lg1"})
        cells += text(column++, row, title);
    return "<row r=\"" + std::to_string(row) + "\">" + cells + more + "</row>";
}

// A record as "line: column=field ... !column=why".
std::string shown(const schedule::Record &record)
{
    std::string out = std::to_string(record.line) + ":";
    for (int column = 0; column < schedule::input::columnCount; ++column)
        if (!record.fields[std::size_t(column)].empty())
            out += " " + std::string(schedule::input::title(column)) + "=" + record.fields[std::size_t(column)];
    for (const auto &[column, why] : record.unreadable)
        out += " !" + std::string(schedule::input::title(column)) + "=" + why.substr(0, why.find(' ', why.find('!')));
    return out;
}

// The records a workbook's schedule gives, or the refusal: its place and
// message.
std::string readAll(const std::string &bytes, const std::string &sheet = {})
{
    try {
        const workbook::Workbook book(std::span(bytes.data(), bytes.size()));
        workbook::ScheduleSheet records(book, sheet);
        std::string out = records.sheet();
        for (schedule::Record record; records.next(record);)
            out += "\n" + shown(record);
        return out;
    } catch (const schedule::ReadError &error) {
        return "refused " + error.place + " " + error.what();
    } catch (const workbook::Unreadable &error) {
        return std::string("unreadable ") + error.what();
    }
}

const std::string dateStyles =
    "<numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy&quot;年&quot;m&quot;月&quot;\"/>"
    "<numFmt numFmtId=\"165\" formatCode=\"0.00&quot;mm&quot;;[Red]-0.00\"/></numFmts>"
    "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/><xf numFmtId=\"165\"/></cellXfs>";

} // namespace

class WorkbookTest : public QObject {
    Q_OBJECT

private slots:
    void sheets_data()
    {
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("strings");
        QTest::addColumn<QString>("styles");
        QTest::addColumn<QString>("expected");
        const auto row = [](int r, const std::string &cells) { return "<row r=\"" + std::to_string(r) + "\">" + cells + "</row>"; };
        const auto add = [](const char *name, const std::string &rows, const std::string &strings, const std::string &styles,
                            const std::string &expected) {
            QTest::newRow(name) << QString::fromStdString(rows) << QString::fromStdString(strings)
                                << QString::fromStdString(styles) << QString::fromStdString(expected);
        };
        add("shared strings, rich-text runs, a phonetic guide left out",
            header() + row(2, "<c r=\"A2\" t=\"s\"><v>0</v></c><c r=\"B2\" t=\"s\"><v>1</v></c>" + number(2, 2, "100")),
            "<si><r><t>KL</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\">1 </t></r><rPh sb=\"0\" eb=\"1\"><t>ケー</t></rPh></si>"
            "<si><t>C4</t></si>", "", "Sheet2\n2: name=KL1  profile=C4 e1=100");
        add("numbers as the double stored, in their shortest text; beyond a double, as typed",
            header() + row(2, number(0, 2, "1.00000000000000000003e+400") + number(1, 2, "-99.9999999999999999999e+399")
                                  + number(2, 2, "0.10000000000000001") + number(3, 2, "1E-3") + number(4, 2, "-2.0E4")
                                  + number(5, 2, "1200.4999999999998"))
                + row(3, number(0, 3, "1e9223372036854775807") + number(1, 3, "-5e-9223372036854775808")),
            "", "", "Sheet2\n2: name=1e400 profile=-1e401 e1=0.1 e2=0.001 lc=-20000 lg1=1200.4999999999998\n"
                    "3: name=1e1000000000 profile=-5e-1000000000");
        add("a formula's saved value; a formula never worked out, an error",
            header() + row(2, "<c r=\"A2\" t=\"b\"><v>1</v></c><c r=\"C2\"><f>A1*2</f><v>200</v></c><c r=\"D2\"><f>1/0</f></c>"
                                  "<c r=\"E2\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c><c r=\"F2\" t=\"str\"><f>\"x\"</f><v>x</v></c>"),
            "", "", "Sheet2\n2: name=TRUE e1=200 lg1=x !e2=Sheet2!D2 !lc=Sheet2!E2");
        add("dates by style and by type; a number format with mm in quotes is no date",
            header() + row(2, number(2, 2, "45000", " s=\"1\"") + number(3, 2, "100", " s=\"3\"")
                                  + number(4, 2, "45000", " s=\"2\"") + "<c r=\"F2\" t=\"d\"><v>2026-12-08</v></c>"),
            "", dateStyles, "Sheet2\n2: e2=100 !e1=Sheet2!C2 !lc=Sheet2!E2 !lg1=Sheet2!F2");
        add("title rows and an empty styled row above the header; hidden rows read",
            row(1, text(0, 1, "XX工程 预应力筋表")) + row(2, "<c r=\"A2\" s=\"1\"/>") + header(3)
                + "<row r=\"4\" hidden=\"1\">" + text(0, 4, "L1") + text(1, 4, "C2a") + "</row>",
            "", "", "Sheet2\n4: name=L1 profile=C2a");
        add("strict namespaces under a prefix, cells and rows without references, merged cells",
            "<x:worksheet xmlns:x=\"http://purl.oclc.org/ooxml/spreadsheetml/main\"><x:sheetData><x:row>"
            "<x:c t=\"inlineStr\"><x:is><x:t>name</x:t></x:is></x:c><x:c t=\"inlineStr\"><x:is><x:t>profile</x:t></x:is></x:c>"
            "<x:c t=\"inlineStr\"><x:is><x:t>e1</x:t></x:is></x:c><x:c t=\"inlineStr\"><x:is><x:t>e2</x:t></x:is></x:c>"
            "<x:c t=\"inlineStr\"><x:is><x:t>lc</x:t></x:is></x:c><x:c t=\"inlineStr\"><x:is><x:t>lg1</x:t></x:is></x:c>"
            "</x:row><x:row><x:c t=\"inlineStr\"><x:is><x:t>K</x:t></x:is></x:c><x:c r=\"C2\"><x:v>5</x:v></x:c><x:c><x:v>6</x:v></x:c>"
            "</x:row></x:sheetData><x:mergeCells count=\"1\"><x:mergeCell ref=\"A2:B2\"/></x:mergeCells></x:worksheet>",
            "", "", "Sheet2\n2: name=K e1=5 e2=6");
        add("a header that lacks a column", row(1, text(0, 1, "name") + text(1, 1, "profile")), "", "",
            "refused Sheet2!A1 缺少列 e1 (a needed column is missing)");
        add("a header naming a column twice", header(1, text(6, 1, "e1")), "", "", "refused Sheet2!G1 列 e1 出现两次 (a column appears twice)");
        add("no header in the first twenty rows", row(21, text(0, 21, "name")), "", "",
            "refused  工作簿中没有钢绞线表：没有一张工作表的前 20 行列出 name, profile, e1, e2, lc, lg1 (no worksheet holds a "
            "schedule's header)");
        add("rows out of order", header() + row(3, text(0, 3, "a")) + row(2, text(0, 2, "b")), "", "",
            "unreadable 工作簿已损坏，xl/worksheets/sheet2.xml 无法读取 (the workbook is damaged: row 2)");
        add("a cell given twice", header() + row(2, text(0, 2, "a") + text(0, 2, "b")), "", "",
            "unreadable 工作簿已损坏，xl/worksheets/sheet2.xml 无法读取 (the workbook is damaged: cell A2)");
        add("a text the workbook lacks", header() + row(2, "<c r=\"A2\" t=\"s\"><v>7</v></c>"), "<si><t>a</t></si>", "",
            "unreadable 工作簿已损坏，xl/worksheets/sheet2.xml 无法读取 (the workbook is damaged: cell A2 names a text the workbook lacks)");
        add("XML cut short", header() + "<row r=\"2\"><c", "", "", "unreadable 工作簿已损坏，xl/worksheets/sheet2.xml 无法读取 (the workbook is damaged: XML, line 1: not well-formed (invalid token))");
        add("entities that would expand a billion times",
            "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
            "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
            "<worksheet xmlns=\"" + main + "\"><sheetData>" + header() + row(2, text(0, 2, "&d;&d;&d;&d;&d;&d;&d;&d;")) + "</sheetData></worksheet>",
            "", "", "unreadable 工作簿的 xl/worksheets/sheet2.xml 含文档类型定义，拒绝读取 (a document type, which no workbook part holds)");
    }

    void sheets()
    {
        QFETCH(QString, rows);
        QFETCH(QString, strings);
        QFETCH(QString, styles);
        QFETCH(QString, expected);
        const std::string bytes = package(workbookOf(rows.toStdString(), strings.toStdString(), styles.toStdString()));
        QCOMPARE(QString::fromStdString(readAll(bytes)), expected);
    }

    // A cell with no value refuses its row where the row needs it, naming it.
    void unreadableCells()
    {
        const std::string bytes = package(workbookOf(
            "<row r=\"1\">" + text(0, 1, "name") + text(1, 1, "profile") + text(2, 1, "e1") + text(3, 1, "e2") + text(4, 1, "k1")
            + text(5, 1, "lc") + text(6, 1, "lg1") + text(7, 1, "lg2") + "</row>"
            "<row r=\"2\">" + text(0, 2, "A") + text(1, 2, "C2a") + number(2, 2, "100") + number(3, 2, "100")
            + "<c r=\"E2\" t=\"e\"><v>#N/A</v></c>" + number(5, 2, "20000") + number(6, 2, "1000") + number(7, 2, "0") + "</row>"
            "<row r=\"3\">" + text(0, 3, "B") + text(1, 3, "C2a") + "<c r=\"C3\" t=\"e\"><v>#N/A</v></c>" + number(3, 3, "100")
            + number(5, 3, "20000") + number(6, 3, "1000") + number(7, 3, "0") + "</row>"));
        const workbook::Workbook book(std::span(bytes.data(), bytes.size()));
        workbook::ScheduleSheet records(book);
        schedule::Record record;
        QVERIFY(records.next(record));
        QCOMPARE(QString::fromStdString(schedule::evaluate(record).cells[schedule::output::status]), QString("ok")); // k1: C2a asks none
        QVERIFY(records.next(record));
        const schedule::Result refused = schedule::evaluate(record);
        QCOMPARE(QString::fromStdString(refused.cells[schedule::output::status]), QString("input"));
        QCOMPARE(QString::fromStdString(refused.cells[schedule::output::message]),
                 QString("输入错误 (input)：e1 列 Sheet2!C3 是错误值 #N/A (an error value)"));
        QCOMPARE(refused.fault, int(schedule::input::e1));
    }

    void sheetChosen()
    {
        const std::string bytes = package(workbookOf(header() + "<row r=\"2\">" + text(0, 2, "X") + "</row>"));
        QCOMPARE(QString::fromStdString(readAll(bytes, "Sheet2")), QString("Sheet2\n2: name=X"));
        QCOMPARE(QString::fromStdString(readAll(bytes, "封面")),
                 QString("refused 封面 没有表头：前 20 行中没有一行列出 name, profile, e1, e2, lc, lg1 (no header naming the columns among the first 20 rows)"));
        QVERIFY(readAll(bytes, "Sheet3").starts_with("refused  工作簿中没有名为 Sheet3 的工作表（有：封面, Sheet2）"));
        const workbook::Workbook book(std::span(bytes.data(), bytes.size()));
        QCOMPARE(workbook::scheduleSheets(book), std::vector<std::string>{"Sheet2"});
    }

    void notWorkbooks()
    {
        const std::string zipOfText = package({{"readme.txt", "hello"}});
        const std::string workbookBytes = package(workbookOf(header()));
        const std::string compound = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + std::string(600, '\0');
        std::string encrypted = compound;
        encrypted.replace(100, 32, std::string("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32));
        QVERIFY(workbook::compoundDocument(encrypted).starts_with("工作簿已加密"));
        QVERIFY(workbook::compoundDocument(compound).starts_with("这是 Excel 97-2003 工作簿"));
        QVERIFY(workbook::compoundDocument("name,profile").empty() && !workbook::isPackage("name,profile"));
        QVERIFY(workbook::isPackage(workbookBytes));
        QCOMPARE(QString::fromStdString(readAll(zipOfText)),
                 QString("unreadable 不是 XLSX 工作簿：压缩包中没有工作簿 (a zip package with no workbook in it)"));
        QCOMPARE(QString::fromStdString(readAll(workbookBytes.substr(0, workbookBytes.size() / 2))),
                 QString("unreadable 不是 XLSX 工作簿，或工作簿已损坏 (no workbook: its zip package cannot be opened)"));
    }

    // A worksheet that inflates to a gigabyte from a megabyte is refused long
    // before, in little memory. Its deflate stream is made of one chunk of
    // blanks compressed once and repeated, which a full flush keeps whole.
    void zipBomb()
    {
        const std::string head = "<worksheet xmlns=\"" + main + "\"><sheetData>" + header();
        const std::string blanks(16 << 20, ' '), tail = "</sheetData></worksheet>";
        const auto deflated = [](const std::string &text, int flush) {
            static z_stream stream{};
            if (!stream.state)
                deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
            std::string out(deflateBound(&stream, uLong(text.size())) + 64, '\0');
            stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(text.data()));
            stream.avail_in = uInt(text.size());
            stream.next_out = reinterpret_cast<Bytef *>(out.data());
            stream.avail_out = uInt(out.size());
            deflate(&stream, flush);
            out.resize(out.size() - stream.avail_out);
            if (flush == Z_FINISH)
                deflateEnd(&stream);
            return out;
        };
        const int copies = 64; // a gigabyte of blanks
        const std::string first = deflated(head, Z_FULL_FLUSH), chunk = deflated(blanks, Z_FULL_FLUSH), last = deflated(tail, Z_FINISH);
        uLong crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(head.data()), uInt(head.size()));
        const uLong chunkCrc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(blanks.data()), uInt(blanks.size()));
        for (int n = 0; n < copies; ++n)
            crc = crc32_combine(crc, chunkCrc, z_off_t(blanks.size()));
        crc = crc32(crc, reinterpret_cast<const Bytef *>(tail.data()), uInt(tail.size()));

        Parts parts = workbookOf("");
        parts.erase(std::find_if(parts.begin(), parts.end(), [](const auto &p) { return p.first == "xl/worksheets/sheet2.xml"; }));
        std::string bytes = package(parts);
        QTemporaryFile file;
        file.open();
        file.write(bytes.data(), qint64(bytes.size()));
        file.close();
        zipFile zip = zipOpen64(file.fileName().toStdString().c_str(), APPEND_STATUS_ADDINZIP);
        zip_fileinfo info{};
        zipOpenNewFileInZip2_64(zip, "xl/worksheets/sheet2.xml", &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9, 1, 1);
        zipWriteInFileInZip(zip, first.data(), unsigned(first.size()));
        for (int n = 0; n < copies; ++n)
            zipWriteInFileInZip(zip, chunk.data(), unsigned(chunk.size()));
        zipWriteInFileInZip(zip, last.data(), unsigned(last.size()));
        zipCloseFileInZipRaw64(zip, head.size() + blanks.size() * copies + tail.size(), crc);
        zipClose(zip, nullptr);
        file.open();
        bytes = file.readAll().toStdString();
        QVERIFY(bytes.size() < (2u << 20));

        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        const auto start = std::chrono::steady_clock::now();
        QVERIFY(readAll(bytes).starts_with("unreadable 工作簿的 xl/worksheets/sheet2.xml 解压后远大于其压缩大小"));
        [[maybe_unused]] const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        getrusage(RUSAGE_SELF, &after);
        QVERIFY2((after.ru_maxrss - before.ru_maxrss) < 100 * 1024, "more than 100 MB of memory");
        // Sanitizers slow every byte inflated and parsed several times over.
#if !defined(__SANITIZE_ADDRESS__)
        QVERIFY2(seconds < 1, qPrintable(QString::number(seconds) + " s"));
#endif
    }
};

QTEST_APPLESS_MAIN(WorkbookTest)
#include "tst_workbook.moc"
