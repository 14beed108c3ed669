#pragma once

// Writing results as they are computed, one row at a time, to a file the
// caller names (a temporary file beside the target, renamed when all is done).

#include "schedule/schedule.h"

#include <cstdio>
#include <memory>
#include <string>

namespace schedule {

class ResultWriter {
public:
    virtual ~ResultWriter() = default;
    virtual void write(const Result &result) = 0;
    // Completes the file; false when it could not be written.
    virtual bool finish() = 0;
};

// CSV for a spreadsheet: UTF-8 with a byte-order mark, CRLF, RFC 4180 quoting,
// and a text that would start a formula neutralised with a leading apostrophe.
// Writes the header at once.
std::unique_ptr<ResultWriter> csvWriter(std::FILE *file);

// XLSX: numbers as numeric cells shown in the notation of their text, one
// frozen header row, failed rows filled in red; a second worksheet holds the
// setting-out heights of every ok tendon at stations `step` mm apart and at
// its key points. Writes the headers at once.
std::unique_ptr<ResultWriter> xlsxWriter(const std::string &path, double step);

// Appends a CSV field as written: quoted where RFC 4180 needs it, neutralised
// where a spreadsheet would take it for a formula.
void appendCsvField(std::string &line, const std::string &text);

} // namespace schedule
