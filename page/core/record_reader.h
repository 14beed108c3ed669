#pragma once

// The site record read back from a workbook: the 张拉记录 worksheet the
// program and the page write, as the page exported it or as a spreadsheet
// saved it after readings were typed in (strings shared or inline, numbers
// as the spreadsheet wrote them).

#include "workbook/xlsx.h"

#include <string>
#include <variant>
#include <vector>

struct ImportedJack {
    std::string tendon;
    int end;                // 0 left, 1 right
    std::string elongation; // the elongation the record checks against, as its cell holds it
    schedule::JackReadings readings;
};

// The record's jacks, or why the file holds none.
std::variant<std::vector<ImportedJack>, std::string> readSiteRecord(const std::string &path);
