// libFuzzer target for the workbook reader: any bytes as a workbook. Reading
// never crashes, hangs or runs out of memory; either the workbook is refused
// with a reason, or every worksheet that holds a schedule gives records that
// are each worked out to a known status, a refusal for a cell naming it, and
// the site record is read or refused. The seeds are workbooks real writers
// made, their parts stored uncompressed, so a mutation reaches the XML.

#include "schedule/schedule.h"
#include "workbook/records.h"

#include <cstdint>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::set<std::string> statuses{"ok", "overflow", "division by zero", "invalid operation",
                                                "invalid argument", "input"};
    try {
        const workbook::Workbook book(std::span(reinterpret_cast<const char *>(data), size));
        for (const std::string &sheet : workbook::scheduleSheets(book)) {
            try {
                workbook::ScheduleSheet records(book, sheet);
                int last = 0;
                for (schedule::Record record; records.next(record);) {
                    if (record.line <= last) // rows come in order, each once
                        __builtin_trap();
                    last = record.line;
                    const schedule::Result result = schedule::evaluate(record);
                    if (!statuses.contains(result.cells[schedule::output::status]))
                        __builtin_trap();
                    for (const auto &[column, why] : record.unreadable)
                        if (why.find(sheet + "!") != 0)
                            __builtin_trap();
                }
            } catch (const schedule::ReadError &error) {
                if (std::string(error.what()).empty())
                    __builtin_trap();
            }
        }
        workbook::siteRecord(book);
    } catch (const workbook::Unreadable &error) {
        if (std::string(error.what()).empty())
            __builtin_trap();
    }
    return 0;
}
