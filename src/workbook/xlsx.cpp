#include "workbook/xlsx.h"

#include "calc/geometry.h"
#include "numeric/number_text.h"
#include "schedule/materials.h"

#include <xlsxwriter.h>

#include <cmath>
#include <vector>
#include <map>

namespace schedule {

namespace {

// The notation of a number text as a spreadsheet format: "5.5E-05" shows as
// 0.0E+00, "1200.5" as 0.0, so a cell shows what the window shows.
std::string numberFormat(const std::string &text)
{
    const std::size_t e = text.find_first_of("eE");
    const std::size_t point = text.find('.');
    const std::size_t decimals = point == std::string::npos ? 0 : std::min(e, text.size()) - point - 1;
    std::string format = decimals ? "0." + std::string(decimals, '0') : "0";
    if (e != std::string::npos)
        format += "E+00";
    return format;
}

bool trimmedEmpty(const std::string &text) { return text.find_first_not_of(" \t") == std::string::npos; }

class XlsxWriter final : public ResultWriter {
public:
    XlsxWriter(const std::string &path, double step, const Stressing &defaults, const SiteReadings *readings,
               const std::vector<std::string> &others)
        : step_(step), others_(others.size()), defaults_(defaults), readings_(readings)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        book_ = workbook_new_opt(path.c_str(), &options);
        if (!book_)
            return;
        sheet_ = workbook_add_worksheet(book_, "schedule");
        // Widths first: in constant memory a row is written out as the next begins.
        const double widths[]{16, 6, 7, 7, 7, 7, 7, 7, 7, 7, 7, 6, 16, 22, 22, 22, 22, 7, 7, 7, 7, 8, 10, 10, 10,
                              9, 8, 6, 6, 8, 9, 7, 10, 11, 7, 9, 9, 8, 10, 5, 10, 8, 8, 12, 12, 8, 11, 11, 16, 60, 60};
        static_assert(std::size(widths) == output::columnCount);
        for (int column = 0; column < output::columnCount; ++column)
            worksheet_set_column(sheet_, lxw_col_t(column), lxw_col_t(column), widths[column], nullptr);
        worksheet_freeze_panes(sheet_, 1, 0);
        lxw_format *bold = workbook_add_format(book_);
        format_set_bold(bold);
        for (int column = 0; column < output::columnCount; ++column)
            worksheet_write_string(sheet_, 0, lxw_col_t(column), std::string(output::title(column)).c_str(), bold);
        // The schedule's own columns (备注 …) after note, as it named them.
        for (std::size_t i = 0; i < others.size(); ++i)
            worksheet_write_string(sheet_, 0, lxw_col_t(output::columnCount + i), cellText(others[i]).c_str(), bold);

        bold_ = bold;
        addTendonsSheet();
        bill_ = workbook_add_worksheet(book_, "材料表");
        addHeightsSheet();
        outside_ = workbook_add_format(book_);
        format_set_bg_color(outside_, 0xFFC7CE);
        format_set_font_color(outside_, 0x9C0006);
        tenth_ = workbook_add_format(book_);
        format_set_num_format(tenth_, "0.0");
        hundredth_ = workbook_add_format(book_);
        format_set_num_format(hundredth_, "0.00");
        measured_ = workbook_add_format(book_);
        format_set_num_format(measured_, "0.0");
        format_set_bg_color(measured_, 0xFFF2CC); // the cells the site fills in
        addRecordSheet();
    }

    ~XlsxWriter() override
    {
        if (book_)
            workbook_close(book_);
    }

    void write(const TendonRows &tendon) override
    {
        if (!book_)
            return;
        for (const Result *row : tendon.rows)
            writeRow(*row);
        tendonRow(tendon);
    }

    // A row as the results sheet shows it, its site record and its setting-out heights.
    void writeRow(const Result &result)
    {
        ++row_;
        for (int column = 0; column < output::columnCount; ++column) {
            const std::string &text = result.cells[std::size_t(column)];
            const std::optional<double> value = output::numeric(column) ? plainValue(text) : std::nullopt;
            const bool number = value.has_value();
            lxw_format *format = formatFor(number ? numberFormat(text) : "@", !result.ok());
            lxw_error error = number ? worksheet_write_number(sheet_, row_, lxw_col_t(column), *value, format)
                                     : worksheet_write_string(sheet_, row_, lxw_col_t(column), cellText(text).c_str(), format);
            if (error != LXW_NO_ERROR)
                failed_ = true;
        }
        // Carried through as the schedule had them: as text, a number too.
        for (std::size_t i = 0; i < others_ && i < result.others.size(); ++i)
            if (!result.others[i].empty()
                && worksheet_write_string(sheet_, row_, lxw_col_t(output::columnCount + i), cellText(result.others[i]).c_str(),
                                          formatFor("@", !result.ok()))
                       != LXW_NO_ERROR)
                failed_ = true;
        if (result.stressed)
            record(result);
        if (result.ok() && result.tendon && !std::isnan(result.start)) {
            // Heights above the bottom face, whole mm, as the sheet gives
            // them, x from the tendon's left end.
            const calc::ProfileGeometry geometry = calc::geometryOf(*result.tendon);
            const std::string tendon = cellText(result.cells[output::tendon]), span = cellText(result.cells[output::name]);
            for (const calc::ProfileGeometry::Height &h : geometry.settingOut(step_)) {
                if (heightRow_ + 1 == LXW_ROW_MAX)
                    addHeightsSheet(); // a worksheet holds at most 1048576 rows: go on in the next
                ++heightRow_;
                worksheet_write_string(heights_, heightRow_, 0, tendon.c_str(), nullptr);
                worksheet_write_string(heights_, heightRow_, 1, span.c_str(), nullptr);
                worksheet_write_number(heights_, heightRow_, 2, double(calc::wholeMillimetres(result.start + h.x)), nullptr);
                worksheet_write_number(heights_, heightRow_, 3, double(calc::wholeMillimetres(h.height)), nullptr);
            }
        }
    }

    bool finish() override
    {
        if (!book_)
            return false;
        writeMaterials();
        const lxw_error closed = workbook_close(book_);
        book_ = nullptr;
        return closed == LXW_NO_ERROR && !failed_;
    }

private:
    void addHeightsSheet()
    {
        const std::string name = "setting-out" + (++heightSheets_ > 1 ? " " + std::to_string(heightSheets_) : "");
        heights_ = workbook_add_worksheet(book_, name.c_str());
        worksheet_set_column(heights_, 0, 1, 16, nullptr);
        worksheet_set_column(heights_, 2, 3, 12, nullptr);
        worksheet_freeze_panes(heights_, 1, 0);
        const char *titles[]{"tendon", "span", "x", "height"};
        for (int column = 0; column < 4; ++column)
            worksheet_write_string(heights_, 0, lxw_col_t(column), titles[column], bold_);
        heightRow_ = 0;
    }

    // A row a tendon: its mark, spans, count, strands and their size, its
    // strand, the strand to order for all its copies and its mass, and what
    // its stressing gives.
    static constexpr output::Column tendonFigures[]{
        output::radiusMin, output::sigmaCon, output::kappa, output::mu, output::ends, output::theta,
        output::sigmaFar, output::loss, output::elongLeft, output::elongRight, output::elong, output::elongMin,
        output::elongMax, output::force, output::cutLength, output::set, output::lockOff, output::lfLeft, output::lfRight,
        output::setLossLeft, output::setLossRight, output::setLoss, output::sigmaAnchoredMin, output::lossTotalMax};

    void addTendonsSheet()
    {
        tendons_ = workbook_add_worksheet(book_, "tendons");
        std::vector<std::string> titles{"tendon", "spans", "count", "strands", "strand_size", "tendon_length", "strand",
                                        "strand_mass"};
        for (output::Column column : tendonFigures)
            titles.emplace_back(output::title(column));
        titles.insert(titles.end(), {"status", "note"});
        for (std::size_t column = 0; column < titles.size(); ++column) {
            worksheet_set_column(tendons_, lxw_col_t(column), lxw_col_t(column), column == 0 ? 16 : column + 1 == titles.size() ? 60 : 10, nullptr);
            worksheet_write_string(tendons_, 0, lxw_col_t(column), titles[column].c_str(), bold_);
        }
        worksheet_freeze_panes(tendons_, 1, 0);
    }

    void tendonRow(const TendonRows &tendon)
    {
        const Result &head = tendon.head();
        std::optional<StrandOrder> order;
        std::string strands, size;
        if (head.stressed) {
            order = strandOrder(*head.stressed, head.count);
            strands = std::to_string(head.stressed->stressing.strands);
            size = head.stressed->stressing.size->name;
        }
        materials_.add(head);
        std::string status = "ok"; // the first of its spans' failures
        for (const Result *row : tendon.rows)
            if (!row->ok()) {
                status = row->cells[output::status];
                break;
            }
        ++tendonRow_;
        const auto &c = head.cells;
        const auto cell = [&](int column, const std::string &text) {
            if (const std::optional<double> value = plainValue(text))
                worksheet_write_number(tendons_, tendonRow_, lxw_col_t(column), *value, formatFor(numberFormat(text), false));
            else
                worksheet_write_string(tendons_, tendonRow_, lxw_col_t(column), cellText(text).c_str(), nullptr);
        };
        cell(0, c[output::tendon]);
        cell(1, std::to_string(tendon.rows.size()));
        cell(2, c[output::count]);
        cell(3, strands);
        cell(4, size);
        cell(5, c[output::tendonLength]);
        // The strand to order for these tendons, m, and its mass, kg.
        cell(6, order ? numeric::writeNumber(order->metres) : "");
        cell(7, order ? fixed(order->kilograms, 1) : "");
        int column = 8;
        for (output::Column figure : tendonFigures)
            cell(column++, c[figure]);
        cell(column++, status);
        cell(column, c[output::note]);
    }

    // The bill of materials: strand by size, anchors by holes at jacked and
    // at dead ends, duct by the strands it holds; totals of the tendons'
    // rows, their figures left out where a tendon has none.
    void writeMaterials()
    {
        lxw_row_t row = 0;
        const auto text = [&](int column, const std::string &t, lxw_format *format = nullptr) {
            worksheet_write_string(bill_, row, lxw_col_t(column), t.c_str(), format);
        };
        const auto number = [&](int column, double value, const std::string &shown) {
            worksheet_write_number(bill_, row, lxw_col_t(column), value, formatFor(numberFormat(shown), false));
        };
        worksheet_set_column(bill_, 0, 0, 24, nullptr);
        worksheet_set_column(bill_, 1, 3, 14, nullptr);
        text(0, "材料表（" + std::to_string(materials_.tendons) + " 束）", bold_);
        for (const BillTable &table : billTables(materials_)) {
            row += 2;
            text(0, std::string(table.title), bold_);
            for (std::size_t n = 0; n < table.headings.size(); ++n)
                text(int(n) + 1, std::string(table.headings[n]), bold_);
            for (const auto &cells : table.rows) {
                ++row;
                for (std::size_t n = 0; n < cells.size(); ++n)
                    number(int(n) + 1, *plainValue(cells[n]), cells[n]);
            }
        }
        row += 2;
        if (materials_.leftOut) {
            text(0, "未算出的 " + std::to_string(materials_.leftOut) + " 束未计入 (tendons that failed are left out)");
            ++row;
        }
        text(0, std::string(billBasis));
    }

    // The site record: above it the calibrations used; then a row for each
    // jack of each tendon: the stages' forces and gauge readings, the ruler
    // readings and the draw-in typed in, the measured elongation worked out
    // from the stages and its deviation from the jack's own; the tendon
    // judged on the sum of its jacks' elongations against its calculated
    // total, on each of its rows; the draw-in checked.
    static std::string stage(int n, std::string_view what) { return std::string(stageName(n)) + " " + std::string(what); }
    inline static const std::string recordTitles[]{
        "编号", "张拉端", "千斤顶", stage(0, "(%σcon)"), stage(0, "F (kN)"), stage(0, "p (MPa)"), stage(1, "F (kN)"),
        stage(1, "p (MPa)"), stage(2, "F (kN)"), stage(2, "p (MPa)"), "本端计算伸长值 (mm)", "本端下限 " + toleranceText(-1) + " (mm)",
        "本端上限 " + toleranceText(1) + " (mm)", "L0 " + stage(0, "(mm)"), "L1 " + stage(1, "(mm)"), "第一行程末 (mm)", "第二行程始 (mm)",
        "L2 " + stage(2, "(mm)"), "千斤顶内伸长 (mm)", "本端实测伸长值 (mm)", "本端偏差 (%，参考)", "全束计算伸长值 (mm)",
        "全束下限 " + toleranceText(-1) + " (mm)", "全束上限 " + toleranceText(1) + " (mm)", "全束实测伸长值 (mm)", "全束偏差 (%)",
        "判定", "锚具回缩 a (mm)", "实测回缩 (mm)", "回缩判定", "读数时间"};
    static constexpr int recordColumns = int(std::size(recordTitles));

    void addRecordSheet()
    {
        const std::string name = "张拉记录" + (++recordSheets_ > 1 ? " " + std::to_string(recordSheets_) : "");
        records_ = workbook_add_worksheet(book_, name.c_str());
        recordRow_ = 0;
        worksheet_write_string(records_, 0, 0, "千斤顶与压力表的校准（p 压力表读数 MPa，F 张拉力 kN）", bold_);
        for (const Gauge &gauge : defaults_.gauges) {
            ++recordRow_;
            worksheet_write_string(records_, recordRow_, 0, cellText(gauge.name).c_str(), nullptr);
            worksheet_write_string(records_, recordRow_, 1, cellText(gauge.equation).c_str(), nullptr);
        }
        if (defaults_.gauges.empty())
            worksheet_write_string(records_, ++recordRow_, 0, "未给出校准：压力表读数按千斤顶的校准报告另填", nullptr);
        const std::string rule = "实测伸长值 = (L2 − L0) + (L1 − L0) − 千斤顶内伸长；两个行程时 L2 − L0 为 (第一行程末 − L0) + "
                                 "(L2 − 第二行程始)；两端张拉时按两端实测伸长值之和对全束计算伸长值判定，偏差在 "
                                 + toleranceText() + " 之内为合格（GB 50666），各端偏差仅供参考；实测回缩不大于 a 为合格";
        worksheet_write_string(records_, ++recordRow_, 0, rule.c_str(), nullptr);
        recordRow_ += 2;
        const double widths[]{16, 6, 8, 8, 10, 10, 10, 10, 10, 10, 11, 10, 10, 10, 11, 11, 11, 10, 10, 11, 10, 11, 10, 10,
                              11, 9, 9, 10, 10, 8, 40};
        static_assert(std::size(widths) == std::size(recordTitles));
        for (int column = 0; column < recordColumns; ++column) {
            worksheet_set_column(records_, lxw_col_t(column), lxw_col_t(column), widths[column], nullptr);
            worksheet_write_string(records_, recordRow_, lxw_col_t(column), recordTitles[column].c_str(), bold_);
        }
        worksheet_freeze_panes(records_, recordRow_ + 1, 0);
        // Red where the tendon's elongation leaves ±6 % or the draw-in exceeds a.
        const std::string first = std::to_string(recordRow_ + 2);
        const std::string tolerance = std::to_string(elongationTolerance);
        std::string outsideRule = "=AND(ISNUMBER($Z" + first + "),ABS($Z" + first + ")>" + tolerance + ")";
        std::string drawInRule = "=AND(ISNUMBER($AC" + first + "),$AC" + first + ">$AB" + first + ")";
        for (auto [rule, from, to] : {std::tuple{&outsideRule, 25, 26}, std::tuple{&drawInRule, 28, 29}}) {
            lxw_conditional_format marked{};
            marked.type = LXW_CONDITIONAL_TYPE_FORMULA;
            marked.value_string = rule->data();
            marked.format = outside_;
            worksheet_conditional_format_range(records_, recordRow_ + 1, lxw_col_t(from), LXW_ROW_MAX - 1, lxw_col_t(to), &marked);
        }
    }

    void record(const Result &result)
    {
        const Stressed &stressed = *result.stressed;
        const Stressing &s = stressed.stressing;
        const std::string name = cellText(result.cells[output::tendon]); // the tendon jacked, by its mark
        // A tendon's rows stay on one worksheet, so each can add up both.
        const int jacks = calc::jackedEnds(s.ends);
        if (recordRow_ + lxw_row_t(jacks) >= LXW_ROW_MAX)
            addRecordSheet();
        const std::string firstRow = std::to_string(recordRow_ + 2), lastRow = std::to_string(recordRow_ + 1 + lxw_row_t(jacks));
        const std::string total = fixed(siteTotal(stressed), 1);
        for (int end = 0; end < 2; ++end) {
            if (!calc::jackedAt(s.ends, end))
                continue;
            const lxw_row_t row = ++recordRow_;
            const std::string at = std::to_string(row + 1);
            const auto cell = [&](const char *column) { return column + at; };
            const auto number = [&](int column, double value, lxw_format *format) {
                worksheet_write_number(records_, row, lxw_col_t(column), value, format);
            };
            const auto formula = [&](int column, const std::string &text, lxw_format *format) {
                worksheet_write_formula_str(records_, row, lxw_col_t(column), text.c_str(), format, "");
            };
            const Gauge *gauge = s.gaugeAt(end);
            worksheet_write_string(records_, row, 0, name.c_str(), nullptr);
            worksheet_write_string(records_, row, 1, std::string(endName(end)).c_str(), nullptr);
            worksheet_write_string(records_, row, 2, gauge ? cellText(gauge->name).c_str() : "", nullptr);
            number(3, s.initial, nullptr);
            int column = 4;
            for (const Stage &stage : stages(stressed, end)) {
                number(column++, stage.force, tenth_);
                if (stage.gauge)
                    number(column++, *stage.gauge, hundredth_);
                else
                    worksheet_write_blank(records_, row, lxw_col_t(column++), measured_);
            }
            // The elongation to check, and its limits as the site reads them.
            const std::string elongation = fixed(siteElongation(stressed, end), 1);
            number(recordColumn::elongation, *plainValue(elongation), tenth_);
            number(11, *plainValue(elongationLimit(elongation, -elongationTolerance)), tenth_);
            number(12, *plainValue(elongationLimit(elongation, elongationTolerance)), tenth_);
            // The ram travels from the initial stage to σcon; beyond its
            // stroke the jack is re-gripped and a second stroke read.
            for (int c = 13; c <= 17; ++c)
                worksheet_write_blank(records_, row, lxw_col_t(c), c == 15 || c == 16 ? (secondStroke(stressed, end) ? measured_ : nullptr) : measured_);
            worksheet_write_blank(records_, row, recordColumn::readings[reading::drawIn], measured_);
            // The readings taken on site, where the record carries them:
            // each the site check would use in its cell (none that is no
            // number or goes back), and when each was taken.
            const auto taken = readings_ ? readings_->find({result.cells[output::tendon], end}) : SiteReadings::const_iterator();
            if (readings_ && taken != readings_->end()) {
                const SiteCheck check = checkSite(stressed, end, taken->second.typed);
                std::string times;
                for (int kind = 0; kind < reading::count; ++kind) {
                    const std::string &text = taken->second.typed[std::size_t(kind)];
                    if (check.marks[std::size_t(kind)] == SiteCheck::fine)
                        number(recordColumn::readings[kind], *plainValue(text), measured_);
                    if (!trimmedEmpty(text))
                        times += (times.empty() ? "" : "；") + std::string(reading::title(kind)) + " " + taken->second.at[std::size_t(kind)];
                }
                worksheet_write_string(records_, row, recordColumn::times, cellText(times).c_str(), nullptr);
            }
            number(18, s.inJack(), tenth_);
            formula(19, "=IF(OR(" + cell("N") + "=\"\"," + cell("O") + "=\"\"," + cell("R") + "=\"\"),\"\",IF(AND(" + cell("P")
                            + "=\"\"," + cell("Q") + "=\"\")," + cell("R") + "-" + cell("N") + ",(" + cell("P") + "-" + cell("N")
                            + ")+(" + cell("R") + "-" + cell("Q") + "))+(" + cell("O") + "-" + cell("N") + ")-" + cell("S") + ")",
                    tenth_);
            formula(20, "=IF(" + cell("T") + "=\"\",\"\",(" + cell("T") + "-" + cell("K") + ")/" + cell("K") + "*100)", tenth_);
            // The whole tendon: its total and limits, both jacks' measured
            // elongations added once both are in, its deviation and verdict.
            number(21, *plainValue(total), tenth_);
            number(22, *plainValue(elongationLimit(total, -elongationTolerance)), tenth_);
            number(23, *plainValue(elongationLimit(total, elongationTolerance)), tenth_);
            const std::string measured = "T" + firstRow + ":T" + lastRow;
            formula(24, "=IF(COUNT(" + measured + ")<" + std::to_string(jacks) + ",\"\",SUM(" + measured + "))", tenth_);
            formula(25, "=IF(" + cell("Y") + "=\"\",\"\",(" + cell("Y") + "-" + cell("V") + ")/" + cell("V") + "*100)", tenth_);
            formula(26, "=IF(" + cell("Z") + "=\"\",IF(COUNT(" + measured + ")>0,\"待另一端\",\"\"),IF(ABS(" + cell("Z")
                            + ")>" + std::to_string(elongationTolerance) + ",\"超出\",\"合格\"))",
                    nullptr);
            number(27, s.drawIn, nullptr);
            formula(29, "=IF(" + cell("AC") + "=\"\",\"\",IF(" + cell("AC") + ">" + cell("AB") + ",\"超出\",\"合格\"))", nullptr);
        }
    }

    // A cell holds at most 32767 characters; a longer text is cut at a
    // character boundary.
    static std::string cellText(const std::string &text)
    {
        constexpr std::size_t limit = 32767;
        std::size_t at = 0, characters = 0;
        while (at < text.size() && characters < limit) {
            ++at;
            while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
                ++at;
            ++characters;
        }
        return text.substr(0, at);
    }

    lxw_format *formatFor(const std::string &number, bool failed)
    {
        lxw_format *&format = formats_[{number, failed}];
        if (!format) {
            format = workbook_add_format(book_);
            format_set_num_format(format, number.c_str());
            if (failed)
                format_set_bg_color(format, 0xFFC7CE);
        }
        return format;
    }

    double step_;
    std::size_t others_; // how many of the schedule's own columns follow note
    lxw_workbook *book_ = nullptr;
    lxw_worksheet *sheet_ = nullptr, *heights_ = nullptr;
    lxw_row_t row_ = 0, heightRow_ = 0;
    lxw_worksheet *records_ = nullptr, *tendons_ = nullptr;
    lxw_row_t recordRow_ = 0, tendonRow_ = 0;
    lxw_worksheet *bill_ = nullptr;
    Materials materials_;
    lxw_format *bold_ = nullptr, *outside_ = nullptr, *tenth_ = nullptr, *hundredth_ = nullptr, *measured_ = nullptr;
    Stressing defaults_; // the program's options: the calibrations above the record
    const SiteReadings *readings_;
    int heightSheets_ = 0, recordSheets_ = 0;
    bool failed_ = false;
    std::map<std::pair<std::string, bool>, lxw_format *> formats_;
};

} // namespace

std::unique_ptr<ResultWriter> xlsxWriter(const std::string &path, double step, const Stressing &stressing,
                                         const SiteReadings *readings, const std::vector<std::string> &others)
{
    return std::make_unique<XlsxWriter>(path, step, stressing, readings, others);
}

} // namespace schedule
