#pragma once

// The calculation sheet of a schedule as pages of figures, A4 in millimetres:
// for every row a page (two where its setting-out table needs them) with its
// parameters, equations, segments, its profile drawn to scale, the checks an
// engineer makes, its tensioning and anchoring, and the heights the site sets
// the duct supports to; a tendon through several spans gets a page of its
// own after its spans'. Plain C++: the PDF and the page draw the same pages.

#include "schedule/materials.h"
#include "schedule/tendons.h"
#include "sheet/figure.h"

#include <functional>
#include <span>
#include <vector>

namespace figure {

inline constexpr double pageWidth = 210, pageHeight = 297, pageMargin = 15;

// A text as a two-dimensional code: its modules, row by row, dark where true
// (none where the text is too long for one).
struct Modules {
    int size = 0;
    std::vector<bool> dark;
};
using Encoder = std::function<Modules(const std::string &text)>;

class Sheet {
public:
    // `step`: the distance between setting-out stations, in mm. With the
    // address where the page is served and an encoder, each tendon's
    // tensioning carries the code of its link to the site record.
    explicit Sheet(double step, std::string siteUrl = {}, Encoder encode = {})
        : step_(step), siteUrl_(std::move(siteUrl)), encode_(std::move(encode))
    {
    }

    // Lays out a tendon's pages, in the schedule's order, after those
    // before; its rows as given, where known, for its link.
    void add(const schedule::TendonRows &tendon);
    // After the last row: the page of the bill of materials.
    void finish();

    std::vector<Figure> pages;

private:
    struct SiteCode {
        std::string mark;
        Modules modules; // none where the link is too long for a code
    };
    SiteCode siteCode(const schedule::Result &head, std::span<const schedule::Record> rows) const;
    void addSpan(const schedule::Result &result, const schedule::Record *record);
    void addTendon(const schedule::TendonRows &tendon);
    double title(Paper &paper, const schedule::Result &result);
    double body(Paper &paper, double y, const schedule::Result &result, const calc::Tendon &t,
                const calc::ProfileGeometry &g);
    double checks(Paper &paper, double y, const calc::Tendon &t, const calc::ProfileGeometry &g,
                  const calc::HeldParameters &held);
    double tensioning(Paper &paper, double y, const schedule::Result &result, const SiteCode &code);
    double siteCodeBlock(Paper &paper, double y, const SiteCode &code);
    double anchoring(Paper &paper, double y, const schedule::Result &result);
    template <typename Retitle>
    double room(Paper &paper, double y, double needed, Retitle retitle);
    template <typename Retitle>
    void settingOut(Paper &paper, double y, const std::vector<std::pair<double, double>> &points, Retitle retitle);

    double step_;
    std::string siteUrl_;
    Encoder encode_;
    schedule::Materials materials_;
};

} // namespace figure
