#pragma once

// Results as a spreadsheet takes them: a CSV file written one row at a time as
// rows are computed, or the same lines tab-separated, as a spreadsheet's own
// copy puts them on the clipboard.

#include "schedule/schedule.h"
#include "schedule/tendons.h"

#include <cstdio>
#include <memory>
#include <string>

namespace schedule {

// A file of results written a tendon at a time, in the schedule's order.
class ResultWriter {
public:
    virtual ~ResultWriter() = default;
    virtual void write(const TendonRows &tendon) = 0;
    // Completes the file; false when it could not be written.
    virtual bool finish() = 0;
};

// CSV for a spreadsheet: UTF-8 with a byte-order mark, CRLF, RFC 4180 quoting,
// and a text that would start a formula neutralised with a leading apostrophe.
// Writes the header at once; `others`, the titles of the schedule's columns
// the program does not know, follow note.
std::unique_ptr<ResultWriter> csvWriter(std::FILE *file, const std::vector<std::string> &others = {});

// The header line and a result's line, fields split by `delimiter` (',' or
// '\t'), without the line end; after note, `others` columns the program does
// not know, a result's own as it carries them.
void appendHeader(std::string &line, char delimiter, const std::vector<std::string> &others = {});
void appendRecord(std::string &line, const Result &result, char delimiter, std::size_t others = 0);

// Appends a field as written: quoted where RFC 4180 needs it (a delimiter, a
// quote or a line end inside), neutralised where a spreadsheet would take it
// for a formula.
void appendCsvField(std::string &line, const std::string &text, char delimiter = ',');

} // namespace schedule
