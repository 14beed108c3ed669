// quillmere-schedule: a whole schedule of tendons, each computed as the window
// computes it. Exit status 0 when every row is ok, 1 when a row failed (every
// other row is still computed and written), 2 when the schedule could not be
// read or the results not written; then no results are written at all.

#include "numeric/number_text.h"
#include "schedule/csv.h"
#include "schedule/schedule.h"
#include "schedule_program/batch.h"
#include "drawing/dxf.h"
#include "workbook/records.h"
#include "workbook/xlsx.h"
#include "sheet/sheet.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QHashFunctions>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *program = "quillmere-schedule";

const char *description = R"(Computes every tendon of a schedule with the window's numbers.

INPUT is a workbook (.xlsx, as Excel, WPS or LibreOffice saves it), or CSV or
tab-separated text (what a spreadsheet copies), UTF-8 or GB18030, told apart by
what the file holds, not by its name. A header row names the columns in any order,
title rows above it passed over (within the first 20 rows):
  name (编号), profile (线型: C2a or C4), e1, e2, e3, k1, k2, k3, lc, lg1, lg2,
  count (根数: identical tendons, 1 when left out)
A parameter the profile does not use may be empty (C2a: e3, k1, k2, k3; C4: lg2).
How each tendon is stressed, where its row says (else the options hold):
  sigma_con (张拉控制应力, MPa), duct (孔道: metal 金属波纹管, plastic 塑料波纹管,
  steel 钢管, unbonded 无粘结), kappa, mu (over the duct's own),
  ends (张拉端: left or 1, right, both or 2), lock_off (锁定顺序: together,
  left-first, right-first), strands (每束根数), strand_size (公称直径, mm),
  set (锚具回缩, mm)
A tendon through several spans: consecutive rows with one mark in tendon (束号),
left to right; it is stressed along all its spans, its figures on its first row.
A workbook's schedule is on the first worksheet with such a header, or on the one
--worksheet names; a number is read as the double the cell stores, as if typed in
its shortest form (0.10000000000000001 is 0.1). A cell holding an error (#N/A), a
formula whose value was never saved, or a date refuses its row where the row needs
it, naming the cell (Sheet2!F7).

The results, one row per schedule row: the parameters as the window shows them after
entry, tendon (the mark, or the name), a1..a4, the segment lengths L1..L4,
length, total (length x count), tendon_length (the whole tendon's strand, no
limit), radius_min (the smallest radius, m); the stressing as used (sigma_con,
kappa, mu, ends), theta (the angles turned, rad), sigma_far (at the dead end,
or where two jacks meet) and loss (MPa), the elongation at each jacked end
elong_left and elong_right, elong (the tendon's: their true sum, rounded once)
with its -6 % and +6 % limits elong_min and elong_max (mm), force (kN at each
jack) and cut_length (length plus the allowances); the anchoring: set (the
draw-in, mm), lock_off, lf_left and lf_right (the reach of its loss from each
anchor, mm), set_loss_left and set_loss_right (the loss at each anchor once
both are locked), set_loss (the larger), sigma_anchored_min (the lowest stress
left) and loss_total_max (the whole loss there, MPa); status (ok, overflow,
division by zero, invalid operation, invalid argument, or input), message,
and note (a control stress below 0.40 or above 0.75 fptk, one end on a bonded
tendon over 20 m or an unbonded one over 40 m, a radius under 4 m, which
anchoring case held at which end, a stress after anchoring below 0.5
sigma_con; of a tendon through several spans, a span that failed, a step in
the duct at a support, a mark used before; a C2a whose parabolas end lg2/2
apart at mid-span; a span beyond the window's 32767 mm).

Friction (GB 50010): each parabola segment, and for C2a the kink at mid-span,
is a piece of length L turning by theta = |atan(2 a x)|; z = kappa L/1000 + mu theta,
the stress after it sigma e^-z and its elongation sigma (1 - e^-z)/z L/Ep. Two
jacks meet where each end's friction is half of the whole. Anchoring (GB 50010,
appendix J): within lf the stress after it is K/sigma(x), lf where it meets
the stress as it stood and the shortening over it equals the draw-in. Where
two jacks' zones would reach each other (mechanics; the code is silent), by
--lock-off: together, one point does not move and each side draws back by the
whole draw-in; one end first, a zone past the meeting point slides the strand
through to the other jack, which then anchors on the stress as it stands.

Example:
  name,profile,e1,e2,e3,k1,k2,k3,lc,lg1,lg2,count
  KL1,C4,100,100,100,0.1,0.5,0.1,20000,1000,,2
  KL2,C2a,100,100,,,,,20000,1000,0,1
  $ quillmere-schedule -o results.xlsx --sheet sheets.pdf schedule.csv

--sheet writes a calculation sheet per tendon: parameters, equations, segments,
the profile drawn to scale with the stress along it, the checks, the
tensioning, and the setting-out heights above the beam's bottom face every
--step mm and at the key points. An XLSX also holds a row per tendon, these
heights (x from each tendon's left end), the bill of materials 材料表 and the
site record 张拉记录: the calibrations (--gauge), then per tendon and jack the
stages' forces and gauge readings, cells for the ruler at each stage and the
draw-in, and formulas for the measured elongation, the tendon judged on the
sum over its jacks (±6 %) and the draw-in checked. With
--site-url (where the page's site folder is served) each stressed tendon's
tensioning also carries a QR code that opens its site record in the page.

--dxf writes the tendons' profiles for the construction drawing (AutoCAD 2007 DXF,
millimetres): each tendon a block named by its mark, its parabolas exact splines
(--dxf-polylines: chords within 0.05 mm), key points with their heights, the
dimensions, the coordinate table every --step mm and a title, on layers PT-*.

Exit status: 0 all rows ok, 1 some rows failed, 2 the schedule could not be read.)";

// Standard input with the bytes read to tell what it holds put back in front.
class PrefixedInput : public std::streambuf {
public:
    PrefixedInput(std::string prefix, std::streambuf *rest) : prefix_(std::move(prefix)), rest_(rest)
    {
        setg(prefix_.data(), prefix_.data(), prefix_.data() + prefix_.size());
    }

protected:
    int_type underflow() override
    {
        const std::streamsize n = rest_->sgetn(buffer_, sizeof buffer_);
        if (n <= 0)
            return traits_type::eof();
        setg(buffer_, buffer_, buffer_ + n);
        return traits_type::to_int_type(buffer_[0]);
    }

private:
    std::string prefix_;
    std::streambuf *rest_;
    char buffer_[1 << 16];
};

// The schedule, as what its bytes hold says: a workbook, or CSV text.
struct Input {
    std::ifstream file;
    std::string bytes; // a workbook from standard input
    std::unique_ptr<PrefixedInput> prefixed;
    std::unique_ptr<std::istream> text;
    std::unique_ptr<workbook::Workbook> book;
    std::unique_ptr<schedule::Records> records;
};

// Opens the schedule; "" when open, else why not.
std::string open(Input &input, const std::string &name, const std::string &worksheet)
{
    std::istream *in = &std::cin;
    if (name != "-") {
        input.file.open(name, std::ios::binary);
        if (!input.file)
            return "无法打开 (cannot open the schedule)";
        in = &input.file;
    }
    std::string head(8, '\0');
    in->read(head.data(), std::streamsize(head.size()));
    head.resize(std::size_t(in->gcount()));
    const bool package = workbook::isPackage(head);
    if (package || head.starts_with("\xD0\xCF\x11\xE0")) {
        if (name == "-" || !package) {
            input.bytes = head;
            input.bytes.append(std::istreambuf_iterator<char>(*in), {});
        }
        if (const std::string why = workbook::compoundDocument(input.bytes); !why.empty())
            return why;
        input.book = name == "-" ? std::make_unique<workbook::Workbook>(std::span(input.bytes.data(), input.bytes.size()))
                                 : std::make_unique<workbook::Workbook>(name);
        input.records = std::make_unique<workbook::ScheduleSheet>(*input.book, worksheet);
        return {};
    }
    if (!worksheet.empty())
        return "--worksheet 只用于工作簿 (--worksheet names a worksheet of a workbook; this is text)";
    if (name == "-") {
        input.prefixed = std::make_unique<PrefixedInput>(head, std::cin.rdbuf());
        input.text = std::make_unique<std::istream>(input.prefixed.get());
    } else {
        input.file.clear();
        input.file.seekg(0);
    }
    input.records = std::make_unique<schedule::Reader>(name == "-" ? *input.text : input.file);
    return {};
}

int complain(const std::string &where, int line, int column, const std::string &message)
{
    std::string place = where;
    if (line > 0)
        place += ":" + std::to_string(line);
    if (column > 0)
        place += ":" + std::to_string(column);
    std::cerr << program << ": " << place << ": " << message << '\n';
    return 2;
}

// Results go to a temporary file beside the target and replace it only when
// complete, so a failed or interrupted run never leaves a half-written or
// clobbered results file.
struct Target {
    std::string path, temporary;

    explicit Target(std::string target) : path(std::move(target))
    {
        std::string pattern = path + ".XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd >= 0) {
            // mkstemp keeps the file private; the results are as readable as
            // any file the engineer writes.
            const mode_t mask = umask(0);
            umask(mask);
            fchmod(fd, 0666 & ~mask);
            close(fd);
            temporary = pattern;
        }
    }
    ~Target()
    {
        if (!temporary.empty())
            std::remove(temporary.c_str());
    }
    bool commit()
    {
        if (std::rename(temporary.c_str(), path.c_str()) != 0)
            return false;
        temporary.clear();
        return true;
    }
};

struct Outputs {
    QString results, sheet, dxf;
    bool polylines = false;
    std::string siteUrl; // where the page is served, for each sheet's code to the site record
};

int run(const QString &inputName, const Outputs &outputs, double step, const schedule::Stressing &stressing,
        const std::string &worksheet)
{
    const QString &outputName = outputs.results, &sheetName = outputs.sheet;
    const std::string input = inputName.toStdString();
    const std::string output = outputName.toStdString();
    const bool xlsx = output.ends_with(".xlsx");
    if (!output.empty() && !xlsx && !output.ends_with(".csv"))
        return complain(output, 0, 0, "结果文件须为 .csv 或 .xlsx (the results must be FILE.csv or FILE.xlsx)");

    // Without a target the CSV waits in an anonymous file until the whole
    // schedule has been read, then goes to standard output.
    std::optional<Target> target;
    if (!output.empty()) {
        target.emplace(output);
        if (target->temporary.empty())
            return complain(output, 0, 0, "无法写入 (cannot write the results)");
    }
    std::FILE *csv = nullptr;
    if (!xlsx)
        csv = target ? std::fopen(target->temporary.c_str(), "wb") : std::tmpfile();
    if (!xlsx && !csv)
        return complain(output.empty() ? "-" : output, 0, 0, "无法写入 (cannot write the results)");
    std::unique_ptr<schedule::ResultWriter> writer =
        xlsx ? schedule::xlsxWriter(target->temporary, step, stressing) : schedule::csvWriter(csv);

    std::optional<Target> sheetTarget;
    std::unique_ptr<sheet::SheetWriter> sheets;
    if (!sheetName.isEmpty()) {
        sheetTarget.emplace(sheetName.toStdString());
        if (sheetTarget->temporary.empty())
            return complain(sheetName.toStdString(), 0, 0, "无法写入 (cannot write the sheets)");
        sheets = std::make_unique<sheet::SheetWriter>(QString::fromStdString(sheetTarget->temporary), step, outputs.siteUrl);
    }

    std::optional<Target> dxfTarget;
    std::FILE *dxfFile = nullptr;
    std::unique_ptr<drawing::DxfWriter> dxf;
    if (!outputs.dxf.isEmpty()) {
        dxfTarget.emplace(outputs.dxf.toStdString());
        if (dxfTarget->temporary.empty() || !(dxfFile = std::fopen(dxfTarget->temporary.c_str(), "wb")))
            return complain(outputs.dxf.toStdString(), 0, 0, "无法写入 (cannot write the drawing)");
        dxf = std::make_unique<drawing::DxfWriter>(dxfFile, step, outputs.polylines);
    }
    const auto closeDxf = [&] {
        dxf.reset();
        if (dxfFile)
            std::fclose(dxfFile);
        dxfFile = nullptr;
    };

    bool allOk = true;
    const auto stop = [&] {
        closeDxf();
        writer.reset();
        if (csv)
            std::fclose(csv);
    };
    try {
        Input schedule;
        if (const std::string why = open(schedule, input, worksheet); !why.empty()) {
            stop();
            return complain(input, 0, 0, why);
        }
        schedule::evaluateAll(*schedule.records, stressing, [&](const schedule::Result &result, const schedule::Record &record) {
            allOk = allOk && result.ok();
            writer->write(result);
            if (sheets)
                sheets->add(result, &record);
            if (dxf)
                dxf->write(result);
        });
    } catch (const schedule::ReadError &error) {
        stop();
        if (!error.place.empty())
            return complain(input + ": " + error.place, 0, 0, error.what());
        return complain(input, error.line, error.column, error.what());
    } catch (const workbook::Unreadable &error) {
        stop();
        return complain(input, 0, 0, error.what());
    }
    const bool written = writer->finish();
    writer.reset();
    if (output.empty()) {
        std::rewind(csv);
        char buffer[1 << 16];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, csv)) > 0;)
            std::fwrite(buffer, 1, n, stdout);
    }
    const bool closed = !csv || std::fclose(csv) == 0;
    if (sheets && (!sheets->finish() || !sheetTarget->commit()))
        return complain(sheetName.toStdString(), 0, 0, "无法写入 (cannot write the sheets)");
    if (dxf) {
        const bool drawn = dxf->finish();
        const auto leftOut = dxf->leftOut();
        closeDxf();
        if (!drawn || !dxfTarget->commit())
            return complain(outputs.dxf.toStdString(), 0, 0, "无法写入 (cannot write the drawing)");
        std::string rows;
        for (const auto &[row, name] : leftOut)
            rows += (rows.empty() ? "" : "；") + ("第 " + std::to_string(row) + " 行 ") + name;
        if (!rows.empty())
            std::cerr << program << ": " << outputs.dxf.toStdString() << ": 未算出的行没有图块 (rows that failed have no "
                      << "block): " << rows << '\n';
    }
    if (!written || !closed || (target && !target->commit()) || std::fflush(stdout) != 0)
        return complain(output.empty() ? "-" : output, 0, 0, "无法写入 (cannot write the results)");
    return allOk ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    // Painting a sheet needs fonts, so a GUI application; it opens no window,
    // so it needs no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The PDF writer lists its fonts in hash order: a fixed seed keeps the
    // same schedule's sheets the same file.
    QHashSeed::setDeterministicGlobalSeed();
    // Standard error is for the engineer: Qt's own notes about the desktop
    // session (there is none here) are left out, its errors are not.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::cerr << program << ": " << message.toStdString() << '\n';
    });
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(program));
    QCoreApplication::setApplicationVersion(QString::fromStdString(schedule::versionText()));
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(description));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({{"o", "output"}, "The results, as FILE.csv or FILE.xlsx; without it, CSV on standard output.",
                      "FILE"});
    parser.addOption({"sheet", "A calculation sheet of every tendon, as FILE.pdf.", "FILE"});
    parser.addOption({"dxf", "The tendons' profiles for the construction drawing, as FILE.dxf: a block a tendon.", "FILE"});
    parser.addOption({"dxf-polylines", "In the DXF, each parabola as a polyline within 0.05 mm of it, not a spline."});
    parser.addOption({"step", "The distance between setting-out stations (default 1000).", "MM", "1000"});
    parser.addOption({"site-url",
                      "Where the page is served (its site/ folder), http:// or https://: each tendon's sheet then carries "
                      "a code that opens its site record there.",
                      "URL"});
    parser.addOption({"worksheet", "The worksheet of a workbook the schedule is on (default: the first with a header).",
                      "NAME"});
    for (const auto &o : schedule::stressingOptions())
        parser.addOption({QString::fromUtf8(o.option.data(), qsizetype(o.option.size())),
                          QString::fromUtf8(o.help.data(), qsizetype(o.help.size())),
                          QString::fromUtf8(o.value.data(), qsizetype(o.value.size()))});
    parser.addPositionalArgument("INPUT", "The schedule; - reads standard input.");
    if (!parser.parse(QCoreApplication::arguments())) {
        std::cerr << program << ": " << parser.errorText().toStdString() << '\n';
        return 2;
    }
    if (parser.isSet("help"))
        parser.showHelp(0);
    if (parser.isSet("version"))
        parser.showVersion();
    if (parser.positionalArguments().size() != 1) {
        std::cerr << program << ": 需要一个钢绞线表文件 (one schedule file is needed); see --help\n";
        return 2;
    }
    bool number = false;
    const double step = parser.value("step").toDouble(&number);
    if (!number || !(step >= 1 && step <= 100000)) {
        std::cerr << program << ": --step 须为 1 至 100000 mm (the step must be 1 to 100000 mm)\n";
        return 2;
    }
    if (parser.isSet("sheet") && !parser.value("sheet").endsWith(QLatin1String(".pdf"))) {
        std::cerr << program << ": --sheet 须为 .pdf 文件 (the sheet must be FILE.pdf)\n";
        return 2;
    }
    if (parser.isSet("dxf") && !parser.value("dxf").endsWith(QLatin1String(".dxf"))) {
        std::cerr << program << ": --dxf 须为 .dxf 文件 (the drawing must be FILE.dxf)\n";
        return 2;
    }
    const std::string siteUrl = parser.value("site-url").toStdString();
    if (parser.isSet("site-url")) {
        if (const std::string why = schedule::siteUrlProblem(siteUrl); !why.empty()) {
            std::cerr << program << ": --site-url " << siteUrl << ": " << why << '\n';
            return 2;
        }
        if (!parser.isSet("sheet")) {
            std::cerr << program << ": --site-url 须与 --sheet 同用 (--site-url puts codes on the sheets of --sheet FILE.pdf)\n";
            return 2;
        }
    }
    if (parser.isSet("dxf-polylines") && !parser.isSet("dxf")) {
        std::cerr << program << ": --dxf-polylines 须与 --dxf 同用 (--dxf-polylines goes with --dxf FILE.dxf)\n";
        return 2;
    }
    schedule::Stressing stressing;
    for (const auto &o : schedule::stressingOptions()) {
        const QString option = QString::fromUtf8(o.option.data(), qsizetype(o.option.size()));
        if (!parser.isSet(option))
            continue;
        // Calibrations may be given again and again, each adding its jacks.
        const std::string text = (o.key == "gauge" ? parser.values(option).join(u';') : parser.value(option)).toStdString();
        if (const auto reason = stressing.set(o.key, text)) {
            std::cerr << program << ": --" << o.option << " " << text << ": " << *reason << '\n';
            return 2;
        }
    }
    if (const auto conflict = stressing.conflict()) { // e.g. a jack named with no calibration
        const auto &all = schedule::stressingOptions();
        const auto named = std::find_if(all.begin(), all.end(), [&](const auto &o) { return o.key == conflict->key; });
        const std::string_view name = named == all.end() ? conflict->key : named->option;
        const QString option = QString::fromUtf8(name.data(), qsizetype(name.size()));
        std::cerr << program << ": --" << name << " " << parser.values(option).join(u';').toStdString() << ": "
                  << conflict->message << '\n';
        return 2;
    }
    return run(parser.positionalArguments().front(),
               {parser.value("output"), parser.value("sheet"), parser.value("dxf"), parser.isSet("dxf-polylines"), siteUrl}, step,
               stressing, parser.value("worksheet").toStdString());
}
