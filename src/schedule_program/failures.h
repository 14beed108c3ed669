#pragma once

// The rows of a run that failed, said on standard error once the files are
// written, as the engineer finds them in the schedule.

#include "schedule/schedule.h"

#include <iostream>
#include <string>
#include <vector>

// The rows that failed, as the engineer finds them in the schedule; the
// first few named, the rest counted.
class Failures {
public:
    explicit Failures(const char *program) : program_(program) {}

    void add(const schedule::Result &result, const schedule::Record &record)
    {
        ++rows_;
        if (result.ok())
            return;
        if (named_.size() < shown) {
            const std::string &name = result.cells[schedule::output::name];
            named_.push_back("第 " + std::to_string(record.line) + " 行" + (name.empty() ? "" : " " + name) + "："
                             + result.cells[schedule::output::message]);
        }
        ++failed_;
    }

    void report(const std::string &input) const
    {
        if (!failed_)
            return;
        for (const std::string &line : named_)
            std::cerr << program_ << ": " << input << ": " << line << '\n';
        if (failed_ > named_.size())
            std::cerr << program_ << ": " << input << ": 另有 " << failed_ - named_.size() << " 行未算出 (and "
                      << failed_ - named_.size() << " more rows failed)\n";
        std::cerr << program_ << ": " << rows_ << " 行，" << rows_ - failed_ << " 行算出，" << failed_ << " 行未算出 (" << rows_
                  << " rows, " << rows_ - failed_ << " worked out, " << failed_ << " failed)\n";
    }

private:
    static constexpr std::size_t shown = 20;
    const char *program_;
    std::vector<std::string> named_;
    std::size_t rows_ = 0, failed_ = 0;
};
