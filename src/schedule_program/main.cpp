// quillmere-schedule: a whole schedule of tendons, each computed as the window
// computes it. Exit status 0 when every row is ok, 1 when a row failed (every
// other row is still computed and written), 2 when the schedule could not be
// read or the results not written; then no results are written at all.

#include "numeric/number_text.h"
#include "schedule/csv.h"
#include "schedule/schedule.h"
#include "schedule/stream.h"
#include "schedule_program/failures.h"
#include "schedule_program/files.h"
#include "schedule_program/help.h"
#include "schedule_program/progress.h"
#include "drawing/dxf.h"
#include "workbook/opened.h"
#include "workbook/xlsx.h"
#include "sheet/sheet.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QHashFunctions>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *program = "quillmere-schedule";


// The schedule, as what its bytes hold says: a workbook, or CSV text.
struct Input {
    std::ifstream file; // how far it is read tells the progress
    std::unique_ptr<workbook::OpenedSchedule> opened;
    schedule::Records &records() { return opened->records(); }
};

// Opens the schedule; "" when open, else why not.
std::string open(Input &input, const std::string &name, const std::string &worksheet)
{
    if (name == "-") {
        input.opened = std::make_unique<workbook::OpenedSchedule>(std::cin, std::string(), worksheet);
    } else {
        input.file.open(name, std::ios::binary);
        if (!input.file)
            return files::unreadable(name).empty() ? "无法打开 (cannot open the schedule)" : files::unreadable(name);
        input.opened = std::make_unique<workbook::OpenedSchedule>(input.file, name, worksheet);
    }
    return input.opened->refused();
}

// What the command line's parser found wrong, in the program's words.
std::string parserError(const QCommandLineParser &parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        std::string names;
        for (const QString &name : unknown)
            names += (names.empty() ? "" : ", ") + std::string(name.size() == 1 ? "-" : "--") + name.toStdString();
        return "没有这个选项 " + names + " (no such option); see --help";
    }
    // The parser's other complaints name the option between quotes.
    const QString text = parser.errorText();
    const qsizetype from = text.indexOf(u'\''), to = text.lastIndexOf(u'\'');
    const std::string option = from >= 0 && to > from ? text.mid(from + 1, to - from - 1).toStdString() : std::string();
    if (text.startsWith(QLatin1String("Missing value")))
        return option + " 后须有值 (" + option + " needs a value); see --help";
    if (text.startsWith(QLatin1String("Unexpected value")))
        return option + " 不带值 (" + option + " takes no value); see --help";
    return text.toStdString();
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

// A file name's extension in any case, as a Windows share or a colleague's
// habit writes it (results.CSV).
bool endsWith(const std::string &name, std::string_view extension)
{
    return name.size() >= extension.size()
           && std::equal(extension.begin(), extension.end(), name.end() - std::ptrdiff_t(extension.size()),
                         [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

struct Outputs {
    QString results, sheet, dxf;
    bool polylines = false;
    std::string siteUrl; // where the page is served, for each sheet's code to the site record
    bool quiet = false;  // no word of failed rows, nor of progress
};

int run(const QString &inputName, const Outputs &outputs, double step, const schedule::Stressing &stressing,
        const std::string &worksheet)
{
    const std::string input = inputName.toStdString();
    const std::string output = outputs.results.toStdString(), sheetName = outputs.sheet.toStdString(),
                      dxfName = outputs.dxf.toStdString();
    const bool xlsx = endsWith(output, ".xlsx");
    if (!output.empty() && !xlsx && !endsWith(output, ".csv"))
        return complain(output, 0, 0, "结果文件须为 .csv 或 .xlsx (the results must be FILE.csv or FILE.xlsx)");
    if (input != "-") {
        if (const std::string why = files::unreadable(input); !why.empty())
            return complain(input, 0, 0, why);
        // The schedule is the engineer's: nothing is ever written over it,
        // by whatever name or link it is reached.
        for (const std::string &name : {output, sheetName, dxfName})
            if (!name.empty() && files::same(input, name))
                return complain(name, 0, 0,
                                "就是钢绞线表 " + input + "，不会写在它上面：请另取文件名 (is the schedule " + input
                                    + " itself, which is never written over: name another file)");
    }

    bool allOk = true;
    Failures failures(program);
    std::atomic<long> rowsDone{0};
    std::atomic<int> percent{-1}; // of the schedule's bytes read, where it is a file
    std::atomic<bool> finishing{false};
    std::unique_ptr<sheet::SheetWriter> sheets;
    // Destroyed, and so cleared, before anything else is said.
    std::optional<progress::Line> line;
    const auto said = [&] {
        if (finishing)
            return std::string("正在写完文件 (finishing the files)");
        std::string text = "已算 " + std::to_string(rowsDone) + " 行 (" + std::to_string(rowsDone) + " rows worked out)";
        if (percent >= 0)
            text += "，" + std::to_string(percent) + " %";
        if (sheets)
            text += "；计算书 " + std::to_string(sheets->pages()) + " 页 (" + std::to_string(sheets->pages()) + " pages of sheets)";
        return text;
    };
    std::optional<files::Target> target, sheetTarget, dxfTarget;
    std::FILE *csv = nullptr, *dxfFile = nullptr;
    std::unique_ptr<schedule::ResultWriter> writer;
    std::unique_ptr<drawing::DxfWriter> dxf;
    const auto stop = [&] {
        line.reset();
        dxf.reset();
        if (dxfFile)
            std::fclose(dxfFile);
        dxfFile = nullptr;
        writer.reset();
        if (csv)
            std::fclose(csv);
        csv = nullptr;
    };
    try {
        Input schedule;
        if (const std::string why = open(schedule, input, worksheet); !why.empty())
            return complain(input, 0, 0, why);
        const std::shared_ptr<const schedule::Header> header = schedule.records().header();
        const std::vector<std::string> others = header ? header->others : std::vector<std::string>{};

        // Each file to a temporary beside it, which takes its place only when
        // complete: a failed or interrupted run leaves every file as it was.
        // Without a target the CSV waits in an anonymous file until the whole
        // schedule has been read, then goes to standard output.
        if (!output.empty()) {
            target.emplace(output);
            if (!target->problem().empty())
                return complain(output, 0, 0, target->problem());
        }
        if (!xlsx)
            csv = target ? std::fopen(target->temporary().c_str(), "wb") : std::tmpfile();
        if (!xlsx && !csv)
            return complain(output.empty() ? "-" : output, 0, 0, "无法写入 (cannot write the results)");
        writer = xlsx ? schedule::xlsxWriter(target->temporary(), step, stressing, nullptr, others)
                      : schedule::csvWriter(csv, others);
        if (!sheetName.empty()) {
            sheetTarget.emplace(sheetName);
            if (!sheetTarget->problem().empty())
                return stop(), complain(sheetName, 0, 0, sheetTarget->problem());
            sheets = std::make_unique<sheet::SheetWriter>(QString::fromStdString(sheetTarget->temporary()), step,
                                                          outputs.siteUrl);
        }
        if (!dxfName.empty()) {
            dxfTarget.emplace(dxfName);
            if (!dxfTarget->problem().empty())
                return stop(), complain(dxfName, 0, 0, dxfTarget->problem());
            if (!(dxfFile = std::fopen(dxfTarget->temporary().c_str(), "wb")))
                return stop(), complain(dxfName, 0, 0, "无法写入 (cannot write the drawing)");
            dxf = std::make_unique<drawing::DxfWriter>(dxfFile, step, outputs.polylines);
        }

        struct stat st {};
        const long long size = input != "-" && schedule.opened->book() == nullptr && stat(input.c_str(), &st) == 0 ? st.st_size : 0;
        line.emplace(said, !outputs.quiet && progress::Line::terminal());
        schedule::workOutAll(schedule.records(), stressing, [&](const schedule::TendonRows &tendon) {
            writer->write(tendon);
            if (sheets)
                sheets->add(tendon);
            if (dxf)
                dxf->write(tendon);
            for (std::size_t n = 0; n < tendon.rows.size(); ++n) {
                allOk = allOk && tendon.rows[n]->ok();
                failures.add(*tendon.rows[n], tendon.records[n]);
                if ((++rowsDone & 255) == 0 && size > 0)
                    if (const auto at = schedule.file.tellg(); at > 0)
                        percent = int(std::min<long long>(99, 100 * static_cast<long long>(at) / size));
            }
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
    finishing = true;
    bool written = writer->finish();
    writer.reset();
    if (output.empty()) {
        std::rewind(csv);
        char buffer[1 << 16];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, csv)) > 0;)
            std::fwrite(buffer, 1, n, stdout);
        written = written && std::fflush(stdout) == 0;
    }
    if (csv) {
        written = std::fclose(csv) == 0 && written;
        csv = nullptr;
    }
    const bool sheetsWritten = !sheets || sheets->finish();
    bool drawn = true;
    std::vector<std::pair<long, std::string>> leftOut;
    if (dxf) {
        drawn = dxf->finish();
        leftOut = dxf->leftOut();
        dxf.reset();
        drawn = std::fclose(dxfFile) == 0 && drawn;
        dxfFile = nullptr;
    }
    line.reset();
    if (!sheetsWritten || (sheetTarget && !sheetTarget->commit()))
        return complain(sheetName, 0, 0, "无法写入 (cannot write the sheets)");
    if (!drawn || (dxfTarget && !dxfTarget->commit()))
        return complain(dxfName, 0, 0, "无法写入 (cannot write the drawing)");
    if (!written || (target && !target->commit()))
        return complain(output.empty() ? "-" : output, 0, 0, "无法写入 (cannot write the results)");
    if (!dxfName.empty()) {
        std::string rows;
        for (const auto &[row, name] : leftOut)
            rows += (rows.empty() ? "" : "；") + ("第 " + std::to_string(row) + " 行 ") + name;
        if (!rows.empty() && !outputs.quiet)
            std::cerr << program << ": " << dxfName << ": 未算出的行没有图块 (rows that failed have no block): " << rows << '\n';
    }
    if (!output.empty() && !outputs.quiet)
        failures.report(input);
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
    // Standard input through a buffer of its own, which says how much has
    // come without waiting for more.
    std::ios::sync_with_stdio(false);
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
    parser.setApplicationDescription(QString::fromUtf8(help::description));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({{"o", "output"}, "The results, as FILE.csv or FILE.xlsx; without it, CSV on standard output.",
                      "FILE"});
    parser.addOption({"sheet", "A calculation sheet of every tendon, as FILE.pdf.", "FILE"});
    parser.addOption({"dxf", "The tendons' profiles for the construction drawing, as FILE.dxf: a block a tendon.", "FILE"});
    parser.addOption({"dxf-polylines", "In the DXF, each parabola as a polyline within 0.05 mm of it, not a spline."});
    const QString defaultStep = QString::fromStdString(numeric::writeNumber(schedule::defaultStep));
    parser.addOption({"step", "The distance between setting-out stations (default " + defaultStep + ").", "MM", defaultStep});
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
    parser.addOption({"quiet", "Nothing on standard error but what stops the run: no failed rows named, no progress."});
    if (!parser.parse(QCoreApplication::arguments())) {
        std::cerr << program << ": " << parserError(parser) << '\n';
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
    if (parser.isSet("sheet") && !parser.value("sheet").endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        std::cerr << program << ": --sheet 须为 .pdf 文件 (the sheet must be FILE.pdf)\n";
        return 2;
    }
    if (parser.isSet("dxf") && !parser.value("dxf").endsWith(QLatin1String(".dxf"), Qt::CaseInsensitive)) {
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
    files::removeTemporariesOnSignals();
    return run(parser.positionalArguments().front(),
               {parser.value("output"), parser.value("sheet"), parser.value("dxf"), parser.isSet("dxf-polylines"), siteUrl,
                parser.isSet("quiet")},
               step, stressing, parser.value("worksheet").toStdString());
}
