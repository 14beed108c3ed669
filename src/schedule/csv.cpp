#include "schedule/csv.h"

namespace schedule {

namespace {

class CsvWriter final : public ResultWriter {
public:
    CsvWriter(std::FILE *file, const std::vector<std::string> &others) : file_(file), others_(others.size())
    {
        line_ = "\xEF\xBB\xBF";
        appendHeader(line_, ',', others);
        line_ += "\r\n";
        std::fwrite(line_.data(), 1, line_.size(), file_);
    }

    void write(const TendonRows &tendon) override
    {
        for (const Result *row : tendon.rows) {
            line_.clear();
            appendRecord(line_, *row, ',', others_);
            line_ += "\r\n";
            std::fwrite(line_.data(), 1, line_.size(), file_);
        }
    }

    bool finish() override { return std::fflush(file_) == 0 && !std::ferror(file_); }

private:
    std::FILE *file_;
    std::size_t others_;
    std::string line_;
};

} // namespace

void appendHeader(std::string &line, char delimiter, const std::vector<std::string> &others)
{
    for (int column = 0; column < output::columnCount; ++column) {
        if (column)
            line += delimiter;
        line += output::title(column);
    }
    for (const std::string &title : others) {
        line += delimiter;
        appendCsvField(line, title, delimiter);
    }
}

void appendRecord(std::string &line, const Result &result, char delimiter, std::size_t others)
{
    for (int column = 0; column < output::columnCount; ++column) {
        if (column)
            line += delimiter;
        appendCsvField(line, result.cells[std::size_t(column)], delimiter);
    }
    for (std::size_t i = 0; i < others; ++i) {
        line += delimiter;
        appendCsvField(line, i < result.others.size() ? result.others[i] : std::string(), delimiter);
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

std::unique_ptr<ResultWriter> csvWriter(std::FILE *file, const std::vector<std::string> &others)
{
    return std::make_unique<CsvWriter>(file, others);
}

} // namespace schedule
