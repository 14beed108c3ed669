#pragma once

// A schedule of tendons as a spreadsheet keeps it, and each tendon's results
// as the window would show them. Plain C++: reading the schedule, working out
// its rows through the tendon core, and the result columns.
//
// The schedule is read as it streams in, one record at a time, so a schedule
// of any length takes the same memory.

#include "calc/anchoring.h"
#include "calc/geometry.h"
#include "calc/tendon.h"
#include "calc/tensioning.h"
#include "schedule/fields.h"

#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace schedule {

// The input columns, by role.
namespace input {
enum Column {
    name, profile, e1, e2, e3, k1, k2, k3, lc, lg1, lg2, count,
    sigmaCon, duct, kappa, mu, ends, strands, set, // how it is stressed, where the row says
    tendon, // the mark that makes consecutive rows the spans of one tendon
    lockOff, strandSize, // more of how it is stressed (after the mark, so older links read as written)
    columnCount
};
// Its name in a header, and its Chinese name where it has one ("" else).
std::string_view title(int column);
std::string_view chinese(int column);
// The column a header's title names, in English (any case) or Chinese.
std::optional<Column> named(std::string_view title);
} // namespace input

// What a schedule's header names: each column's title as the file writes
// it ("" where the file has no such column), and the titles of the columns
// the program does not know (备注 …), which the results carry through.
struct Header {
    std::array<std::string, input::columnCount> titles;
    std::vector<std::string> others;
    // A column as the file names it, else by its own name.
    std::string_view named(int column) const;
};
// A column's name in a message about a record whose header is `header`
// (none: the column's own name).
std::string_view columnName(const Header *header, int column);

// One data record of the schedule: its fields by column ("" where the
// schedule has no such column or the record ends early), and the line it
// starts on (a worksheet's row).
struct Record {
    int line = 0;
    std::array<std::string, input::columnCount> fields;
    // The fields of the columns the program does not know, in the header's order.
    std::vector<std::string> others;
    // The header the record was read under; none for a record typed or
    // handed over on its own.
    std::shared_ptr<const Header> header;
    // The columns whose cell a workbook holds no value for (an error, a
    // formula never worked out, a date), each with why, naming the cell: the
    // row is refused where it needs the value.
    std::vector<std::pair<int, std::string>> unreadable;
    // Why the whole row is refused whatever its profile needs (fields past
    // the header's last column, a line split by another separator); "" else.
    std::string refused;
    // Nothing but blanks in any field: no tendon, and skipped.
    bool blank() const;
};

// The schedule cannot be read at all. Line and column are 1-based; 0 where
// they do not apply. A worksheet's cell names its place ("Sheet2!F7").
class ReadError : public std::runtime_error {
public:
    ReadError(int line, int column, const std::string &message, std::string place = {})
        : std::runtime_error(message), line(line), column(column), place(std::move(place))
    {
    }
    int line, column;
    std::string place;
};

// Where each input column stands in a row of titles: its field's index, -1
// where the row names no such column.
using Positions = std::array<int, input::columnCount>;

// A schedule's header among its first rows, in a file that may carry a title
// or two above it ("XX工程 预应力筋表"): the first of the first `searched`
// rows whose titles name every column a whole schedule needs. Rows are
// offered one at a time with their line; a ReadError's column is the
// title's, from 1.
class HeaderSearch {
public:
    static constexpr int searched = 20;
    // Whether this row is the header. A header naming a column twice is a
    // ReadError; a title row may.
    bool offer(const std::vector<std::string> &titles, int line);
    const Positions &positions() const { return positions_; }
    // Why none of the rows offered is the header: the one naming the most
    // columns lacks one, or none names any.
    // `text`: the rows are lines of text, split by a separator.
    ReadError failure(bool text = false) const;

private:
    Positions positions_{};
    int named_ = 0, line_ = 0;
};

// A schedule's records as they stream in, from whatever file holds them.
class Records {
public:
    virtual ~Records() = default;
    // The next data record; false at the end of the schedule.
    virtual bool next(Record &record) = 0;
    // The header the records are read under.
    virtual std::shared_ptr<const Header> header() const = 0;
};

// The header a row of titles makes, with the positions of its columns:
// every title it does not know, not blank, is carried through.
struct HeaderColumns {
    std::shared_ptr<const Header> header;
    std::vector<int> others; // the field index of each of header->others
};
HeaderColumns headerOf(const std::vector<std::string> &titles, const Positions &positions);

class Utf16Decoder; // a UTF-16 file's decoder, which the reader reads through

// Reads CSV (RFC 4180 quoting) separated by commas, semicolons (as Excel
// saves in much of Europe) or tabs, told apart by the header line; UTF-8
// with or without a byte-order mark, GB18030, or UTF-16 with its byte-order
// mark (Excel's "Unicode text"); CRLF or LF. Blank records are skipped. The
// header names the columns in any order, in any case, in English or as 编号,
// 线型, 根数, 张拉控制应力, 孔道, 张拉端数 and 每束根数; columns it does not know
// are carried through, and only name, profile, e1, e2, lc and lg1 are
// needed. Title lines above the header are passed over. A record with more
// fields than the header, or split by another separator than the header's,
// is refused.
class Reader : public Records {
public:
    // Reads the header. A part of a schedule (rows pasted into a grid) needs
    // no column named, and its first line is its header where it names any;
    // a whole schedule needs the six.
    explicit Reader(std::istream &in, bool part = false);
    ~Reader() override;
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    bool next(Record &record) override;
    std::shared_ptr<const Header> header() const override { return header_.header; }
    // The columns the header names, in its order; how many fields the header
    // has, named or not, and what splits them.
    std::vector<input::Column> columns() const;
    int width() const { return width_; }
    char delimiter() const { return delimiter_; }

private:
    bool physicalLine(std::string &line);
    std::string decoded(std::string raw);
    bool fields(std::vector<std::string> &fields, bool header);

    std::unique_ptr<Utf16Decoder> utf16_; // decodes a UTF-16 file as it is read
    std::unique_ptr<std::istream> decoding_;
    std::istream *in_;
    char delimiter_ = ',';
    int width_ = 0;
    int line_ = 0, start_ = 0; // the last line read, the line the last record began on
    enum class Encoding { undecided, utf8, gb18030, utf16le, utf16be } encoding_ = Encoding::undecided;
    HeaderColumns header_;
    std::string line_text_; // the last record's first line, decoded
    struct Converter;
    std::unique_ptr<Converter> gb18030_; // closed also when the header cannot be read
    Positions position_{}; // field index of each column, -1 if absent
};

// The result columns, in order.
namespace output {
enum Column {
    name, profile, e1, e2, e3, k1, k2, k3, lc, lg1, lg2, count, tendon,
    a1, a2, a3, a4, l1, l2, l3, l4, length, total, tendonLength, radiusMin,
    sigmaCon, kappa, mu, ends, theta, sigmaFar, loss, elongLeft, elongRight, elong, elongMin, elongMax, force,
    cutLength, set, lockOff, lfLeft, lfRight, setLossLeft, setLossRight, setLoss, sigmaAnchoredMin, lossTotalMax,
    status, message, note,
    columnCount
};
std::string_view title(int column);
// Whether a column holds numbers (where its text is one).
bool numeric(int column);
} // namespace output

// A jack and its pressure gauge, calibrated together: the reading p (MPa) is
// a straight line in the force F (kN), given either way round as a
// calibration report gives it ("J1:p=0.0213F-0.70", "J2:F=46.95p+33").
struct Gauge {
    std::string name, equation; // as given
    double perKn = 0, atZero = 0; // p = perKn·F + atZero
    double reading(double kN) const { return perKn * kN + atZero; }
};
// The calibrations of a text of them split by ';', or the reason one is none.
std::optional<std::string> readGauges(std::string_view text, std::vector<Gauge> &gauges);

// A seven-wire strand (1×7) by its nominal diameter, as GB/T 5224 tables
// it: its area and its mass a metre.
struct StrandSize {
    std::string_view name; // the nominal diameter as written, mm
    double diameter, area, mass; // mm, mm², kg/m
};
// The strand of most post-tensioned beams, φs15.2.
inline constexpr StrandSize commonStrand{"15.2", 15.2, 140, 1.101};
// nullptr for a text that is none of them ("15.2", "15.20" and "φs15.2" are one).
const StrandSize *strandSized(std::string_view text);
std::string_view strandSizeNames(); // "9.5、11.1、…"

// How tendons are stressed: the program's options, and over them what a
// row's own columns say.
struct Stressing {
    double sigmaCon = 1395; // MPa, 0.75 fptk
    bool sigmaConGiven = false; // else 0.75 fptk of the strength given
    const calc::DuctKind *duct = calc::ductNamed("metal");
    std::optional<double> kappa, mu; // over the duct's own
    calc::Ends ends = calc::Ends::both;
    calc::LockOff lockOff = calc::LockOff::together; // where both ends are jacked
    long strands = 1;
    const StrandSize *size = &commonStrand;
    double area = 140;  // mm² a strand: the size's, unless given
    double ep = 195000; // MPa
    double fptk = 1860; // MPa
    std::optional<double> fc, ductDiameter; // the concrete's design strength (MPa) and the duct's outer diameter (mm)
    double jack = 0;    // mm of strand inside each jack
    std::optional<double> allowLive, allowDead; // mm cut beyond each jacked and each dead end
    double drawIn = 6;  // mm the strand draws back as the wedges seat (no top pressing)
    int initial = 10;   // per cent of σcon: the first stage read on site, then twice it, then σcon
    double stroke = 200; // mm a jack's ram travels before it is re-gripped
    std::vector<Gauge> gauges;
    std::array<std::string, 2> jacks; // the jack at the left and the right end, by name

    calc::Duct friction() const { return {kappa.value_or(duct->duct.kappa), mu.value_or(duct->duct.mu)}; }
    // Takes one value, named as its column or its option ("sigma_con",
    // "allow-live"); the reason where the text is no such value. A duct
    // brings its own κ and μ, over any given before it.
    std::optional<std::string> set(std::string_view key, std::string_view text);
    // A value as the engineer reads it ("1395", "metal"; "" for an
    // allowance not given).
    std::string shown(std::string_view key) const;
    // Why the values cannot stand together, by the key at fault: a control
    // stress above 0.80 fptk, a jack named with no calibration, a gauge that
    // would read below zero at σcon.
    struct Conflict {
        std::string_view key;
        std::string message;
    };
    std::optional<Conflict> conflict() const;
    // The calibration of the jack at an end (0 left, 1 right): the one named
    // there, else the calibrations in the order given (one alone serves both
    // ends); none where none is given.
    const Gauge *gaugeAt(int end) const;
    // The force at each jack at σcon, kN.
    double force() const { return sigmaCon * area * double(strands) / 1000; }
    // The stretch of the strand inside a jack at σcon, mm.
    double inJack() const { return sigmaCon * jack / ep; }
    // The strand cut for a tendon whose strand is `length` mm: with the
    // allowances at its jacked and its dead ends, where any is given.
    double cut(double length) const
    {
        const int live = calc::jackedEnds(ends);
        return length + allowLive.value_or(0) * live + allowDead.value_or(0) * (2 - live);
    }
};

// The distance between setting-out stations (mm) the sheets, the drawing and
// the workbook use where the engineer asks for no other.
inline constexpr double defaultStep = 1000;

// The program's stressing options, in the order they are taken: the strength
// bounds the control stress, a duct brings its κ and μ before they are given.
struct StressingOption {
    // label: the Chinese name and unit; explained: help in Chinese.
    std::string_view option, key, help, value, label, explained;
};
std::span<const StressingOption> stressingOptions();

// An ok tendon as stressed and anchored.
struct Stressed {
    Stressing stressing; // as used for this tendon
    std::vector<calc::Piece> pieces;
    calc::Tensioning tensioning;
    calc::Anchoring anchoring;
    double length = 0; // of its strand, mm (all its spans)
};

// The stages the site reads at a jack: the initial stress, twice it, σcon;
// the force, the gauge reading where the jack is calibrated, and the
// elongation worked out up to that stage (of the tendon, less the strand
// inside the jack, which the site takes off the ruler).
struct Stage {
    int percent;
    double force;                 // kN
    std::optional<double> gauge;  // MPa
    double elongation;            // mm
};
std::array<Stage, 3> stages(const Stressed &stressed, int end);
// A stage's name (0, 1, 2: 初应力, 2×初应力, σcon) and a jacked end's (0
// 左端, 1 右端), as the sheets, the workbook and its record read back, and
// the page write them.
std::string_view stageName(int stage);
std::string_view endName(int end);
// The elongation at a jack (0 left, 1 right) the site's measurement is checked
// against: the calculated one less the strand inside the jack.
double siteElongation(const Stressed &stressed, int end);
// Whether the ram's travel at a jack from the initial stage to σcon passes its
// stroke, so the jack is re-gripped and a second stroke read.
bool secondStroke(const Stressed &stressed, int end);

// What the site reads at one jack, as typed: the ruler at the initial stage
// (L0), at twice it (L1) and at σcon (L2); where the jack is re-gripped, the
// ruler at the first stroke's end and the second stroke's start; and the
// draw-in measured after anchoring.
namespace reading {
enum Kind { l0, l1, strokeEnd, strokeStart, l2, drawIn, count };
std::string_view title(int kind); // "L0", "L1", ...
} // namespace reading

// The readings checked as they come: each one fine, not yet typed, not a
// number, or going backwards from the reading before it (a reading marked
// so is not used); the measured elongation (L2 − L0) + (L1 − L0) less the
// strand inside the jack, with two strokes (end − L0) + (L2 − start) + (L1 −
// L0), once every reading it needs is fine; its deviation from the elongation
// to check as shown (0.1 mm); the draw-in against a. The ±6 % verdict is the
// tendon's (checkTendon).
struct SiteCheck {
    enum Mark { fine, empty, notNumber, backwards };
    std::array<Mark, reading::count> marks{};
    std::optional<double> measured, deviation; // mm, %
    std::optional<bool> drawInWithin;
};
SiteCheck checkSite(const Stressed &stressed, int end, const std::array<std::string, reading::count> &typed);

// The elongation a whole tendon's measurements are checked against: its
// jacks' calculated elongations added, less the strand inside each jack,
// rounded once to 0.1 mm as the record shows it.
double siteTotal(const Stressed &stressed);
// A tendon judged as a whole: the measured elongations of its jacked ends
// added, against siteTotal, within ±6 %; each end's own check, its deviation
// from its own elongation for information. Where one end of two is read, the
// tendon waits for the other.
struct TendonCheck {
    std::array<std::optional<SiteCheck>, 2> ends; // left, right: each jacked end's
    std::optional<double> measured, deviation;   // mm, %, of the whole tendon
    std::optional<bool> within;
    bool waiting = false; // one end of two measured
};
using TendonReadings = std::array<std::array<std::string, reading::count>, 2>;
TendonCheck checkTendon(const Stressed &stressed, const TendonReadings &typed);
// The ±6 % the site's elongations may stray from the calculated ones (GB 50666).
inline constexpr int elongationTolerance = 6;
// It as the sheets write it: "±6%", or the limit below ("−6%", sign < 0) or
// above ("+6%", sign > 0).
std::string toleranceText(int sign = 0);

struct Result {
    std::array<std::string, output::columnCount> cells;
    std::vector<std::string> others; // the columns the program does not know, carried through after note
    bool ok() const { return cells[output::status] == "ok"; }
    // The tendon as computed, where the row got that far; the count as read.
    std::optional<calc::Tendon> tendon;
    std::optional<Stressed> stressed;
    long count = 1;
    int fault = -1; // the input column whose field the row failed on, where one did
    int spans = 1;    // the spans of the tendon this row begins; 0 where it goes on with one
    double start = 0; // where its span begins, mm from the tendon's left end (NaN where a span before could not be read)
};

// A record worked out as the window works out the same answers: entry as the
// prompts take them, then the equations and the length; an ok tendon is then
// stressed as the row and `stressing` say. A field the profile needs must be
// wholly a number; a field that is not, an unknown profile, a count that is no
// positive whole number or a stressing value that is none refuses the row with
// status "input". A failed row keeps what was computed before the failure.
// A span of a longer tendon (not `alone`) is stressed with its tendon, by
// joinTendon, not on its own.
Result evaluate(const Record &record, const Stressing &stressing = {}, bool alone = true);

// Whether two consecutive records are spans of one tendon: both carry the
// same mark.
bool sameTendon(const Record &a, const Record &b);

// The rows of one tendon, consecutive records of one mark from its left end
// to its right end, each already worked out by `evaluate` as one span, joined
// into the tendon:
// - count and the stressing columns belong to the tendon: given on any of
//   its rows they hold for all; rows that disagree refuse every row of the
//   tendon with status "input", naming the column;
// - its strand is the spans' lengths added, with no short-integer limit
//   (tendon_length); its stressing figures are worked out along all its
//   spans' pieces and stand, with its notes, on its first row only;
// - a span that fails fails its own row, and the first row names it in its
//   note instead of tendon figures;
// - a step in the duct at a support is said in the note.
// A tendon of one span is left as `evaluate` worked it out.
void joinTendon(std::span<Result> rows, std::span<const Record> records, const Stressing &stressing);

// The tendons of a schedule in order: the first row of one whose mark an
// earlier tendon used says so in its note, for it is another tendon.
class TendonMarks {
public:
    void check(const Record &first, Result &row);
    void passed(const Record &first); // a tendon before those checked
    // Whether check would say the tendon's mark was used before.
    bool usedBefore(const Record &first) const;

private:
    std::set<std::string> used_;
};


// A tendon handed to the site record on a phone in a link to the served
// page: its fragment (which a browser never sends to a server) carries the
// tendon's rows and how it is stressed, compressed, URL-safe, versioned and
// checked. `siteUrl` is where the page is served; "" where it is no address
// a phone can open, with why, naming what is wrong.
std::string siteUrlProblem(std::string_view siteUrl);
// The link to a tendon: its rows (every span) as given and the stressing as
// used for it, which the page takes as its options.
std::string siteLink(std::string_view siteUrl, std::span<const Record> rows, const Stressing &stressing);
struct SiteTendon {
    std::vector<Record> rows;
    std::vector<std::pair<std::string, std::string>> options; // key, text, in the options' order
};
// The tendon a link (or its fragment) carries; the message where it carries
// none: not such a link, one from a newer version, or damaged or cut short.
struct SiteLinkRead {
    std::optional<SiteTendon> tendon;
    std::string message;
};
SiteLinkRead readSiteLink(std::string_view link);

// "2019.06.0006", as the window's credits show it.
std::string versionText();

} // namespace schedule
