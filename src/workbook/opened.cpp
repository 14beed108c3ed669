#include "workbook/opened.h"

#include <algorithm>
#include <iterator>
#include <span>
#include <sstream>

namespace workbook {

// Standard input with the bytes read to tell what it holds put back in front.
class OpenedSchedule::Prefixed : public std::streambuf {
public:
    Prefixed(std::string prefix, std::streambuf *rest) : prefix_(std::move(prefix)), rest_(rest)
    {
        setg(prefix_.data(), prefix_.data(), prefix_.data() + prefix_.size());
    }

protected:
    // What has come so far, at least a byte: a schedule piped in row by row
    // is read as it comes, not once a buffer is full.
    int_type underflow() override
    {
        const int_type first = rest_->sbumpc();
        if (traits_type::eq_int_type(first, traits_type::eof()))
            return traits_type::eof();
        buffer_[0] = traits_type::to_char_type(first);
        std::streamsize n = 1;
        for (std::streamsize ready; n < std::streamsize(sizeof buffer_) && (ready = rest_->in_avail()) > 0;)
            n += rest_->sgetn(buffer_ + n, std::min(ready, std::streamsize(sizeof buffer_) - n));
        setg(buffer_, buffer_, buffer_ + n);
        return traits_type::to_int_type(buffer_[0]);
    }

private:
    std::string prefix_;
    std::streambuf *rest_;
    char buffer_[1 << 16];
};

bool OpenedSchedule::workbookBytes(std::string_view head) { return isPackage(head) || head.starts_with("\xD0\xCF\x11\xE0"); }

OpenedSchedule::OpenedSchedule(std::istream &in, const std::string &path, const std::string &worksheet)
{
    std::string head(8, '\0');
    in.read(head.data(), std::streamsize(head.size()));
    head.resize(std::size_t(in.gcount()));
    if (workbookBytes(head)) {
        // A package on disk is read where it lies; anything else whole.
        if (path.empty() || !isPackage(head)) {
            bytes_ = std::move(head);
            bytes_.append(std::istreambuf_iterator<char>(in), {});
        }
        openWorkbook(path.empty() ? std::string() : path, worksheet);
    } else if (path.empty()) {
        prefixed_ = std::make_unique<Prefixed>(std::move(head), in.rdbuf());
        text_ = std::make_unique<std::istream>(prefixed_.get());
        openText(*text_, worksheet);
    } else {
        in.clear();
        in.seekg(0);
        openText(in, worksheet);
    }
}

OpenedSchedule::OpenedSchedule(std::string bytes, const std::string &worksheet) : bytes_(std::move(bytes))
{
    if (workbookBytes(bytes_)) {
        openWorkbook({}, worksheet);
    } else {
        text_ = std::make_unique<std::istringstream>(std::move(bytes_));
        openText(*text_, {}); // a worksheet is chosen only among a workbook's
    }
}

OpenedSchedule::~OpenedSchedule() = default;

void OpenedSchedule::openWorkbook(const std::string &path, const std::string &worksheet)
{
    if (refused_ = compoundDocument(bytes_); !refused_.empty())
        return;
    book_ = path.empty() ? std::make_unique<Workbook>(std::span(bytes_.data(), bytes_.size())) : std::make_unique<Workbook>(path);
    auto sheet = std::make_unique<ScheduleSheet>(*book_, worksheet);
    sheet_ = sheet.get();
    records_ = std::move(sheet);
}

void OpenedSchedule::openText(std::istream &in, const std::string &worksheet)
{
    if (!worksheet.empty()) {
        refused_ = "--worksheet 只用于工作簿 (--worksheet names a worksheet of a workbook; this is text)";
        return;
    }
    auto reader = std::make_unique<schedule::Reader>(in);
    reader_ = reader.get();
    records_ = std::move(reader);
}

std::vector<schedule::input::Column> OpenedSchedule::columns() const
{
    return sheet_ ? sheet_->columns() : reader_ ? reader_->columns() : std::vector<schedule::input::Column>{};
}

} // namespace workbook
