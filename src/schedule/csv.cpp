#include "schedule/csv.h"

namespace schedule {

namespace {

class CsvWriter final : public ResultWriter {
public:
    explicit CsvWriter(std::FILE *file) : file_(file)
    {
        line_ = "\xEF\xBB\xBF";
        appendHeader(line_, ',');
        line_ += "\r\n";
        std::fwrite(line_.data(), 1, line_.size(), file_);
    }

    void write(const Result &result) override
    {
        line_.clear();
        appendRecord(line_, result, ',');
        line_ += "\r\n";
        std::fwrite(line_.data(), 1, line_.size(), file_);
    }

    bool finish() override { return std::fflush(file_) == 0 && !std::ferror(file_); }

private:
    std::FILE *file_;
    std::string line_;
};

} // namespace

void appendHeader(std::string &line, char delimiter)
{
    for (int column = 0; column < output::columnCount; ++column) {
        if (column)
            line += delimiter;
        line += output::title(column);
    }
}

void appendRecord(std::string &line, const Result &result, char delimiter)
{
    for (int column = 0; column < output::columnCount; ++column) {
        if (column)
            line += delimiter;
        appendCsvField(line, result.cells[std::size_t(column)], delimiter);
    }
}

void appendCsvField(std::string &line, const std::string &text, char delimiter)
{
    // A cell starting with one of these runs as a formula when the file is
    // opened; a number keeps its sign.
    const bool neutralised = !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos
                             && !plainNumber(text);
    bool quoted = false;
    for (char c : text)
        quoted = quoted || c == delimiter || c == '"' || c == '\r' || c == '\n';
    if (quoted)
        line += '"';
    if (neutralised)
        line += '\'';
    if (!quoted) {
        line += text;
        return;
    }
    for (char c : text) {
        line += c;
        if (c == '"')
            line += '"';
    }
    line += '"';
}

std::unique_ptr<ResultWriter> csvWriter(std::FILE *file) { return std::make_unique<CsvWriter>(file); }

} // namespace schedule
