#pragma once

// The page's core, compiled to WebAssembly: the functions the page calls
// (bound in binding.cpp), each a thin adapter over the schedule's own code,
// by what it does: the schedule as the page edits it and its options
// (binding.cpp), reading a schedule's bytes (reading.cpp), the files the
// program writes (exports.cpp), the sheet's figures of a tendon
// (figures.cpp), the site record (site.cpp), and the calculator window
// (window.cpp).

#include "schedule/live.h"
#include "sheet/pages.h"

#include <emscripten/val.h>

#include <optional>
#include <string>

namespace page {

// The schedule as the page shows it, worked out with the options last
// taken, and where the page is served ("" where not given). The files, the
// figures and the site record are all of this very schedule.
extern schedule::Schedule live;
extern std::string siteUrl;

// The schedule and its options.
emscripten::val columns();
emscripten::val options();
emscripten::val takeOptions(const emscripten::val &given);
std::string evaluate(const std::string &given, int from, int total);

// Reading.
std::string read(const std::string &bytes, bool part, int firstColumn, const std::string &sheet);

// The files.
emscripten::val resultsCsv();
std::string resultsTsv();
void workbookBegin(double step, const emscripten::val &readings);
std::size_t workbookMore(std::size_t rows);
emscripten::val workbookEnd();
void workbookCancel();
emscripten::val workbookFile(double step, const emscripten::val &readings);
emscripten::val drawingFile(bool polylines, int row);
void sheetsBegin();
emscripten::val sheetsMore(std::size_t rows);
emscripten::val sheetsEnd();
void sheetsCancel();
emscripten::val sheetPages();

// The figures of a tendon.
std::optional<schedule::Schedule::Place> tendonOf(int row);
std::string figures(int row);
emscripten::val keyPoints(int row);

// The site record.
figure::Modules qrModules(const std::string &text);
emscripten::val importRecord(const std::string &bytes);
std::string siteLink(int row);
std::string siteCode(int row);
emscripten::val readSiteLink(const std::string &link);
emscripten::val siteJacks();
emscripten::val siteCheck(int row, const emscripten::val &left, const emscripten::val &right);

// The calculator window.
emscripten::val windowDesign();
emscripten::val windowClick(const std::string &handler, const emscripten::val &texts, const emscripten::val &selected);
emscripten::val windowAnswer(const std::string &typed);
emscripten::val windowDiagram(int resource, double bw, double bh);
emscripten::val windowRecord(const emscripten::val &texts, const emscripten::val &selected, const std::string &name);

} // namespace page
