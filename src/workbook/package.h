#pragma once

// A workbook's zip package as minizip reads it, from a file or from bytes in
// memory, and one part of it inflated a chunk at a time, held to what a
// workbook may hold. For the reader's own files only.

#include "workbook/reader.h"

#include <unzip.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace workbook {

// What a workbook may hold before it is taken for no honest workbook.
// An XML part rarely packs more than twenty to one (a sheet of identical
// rows, measured); deflate can pack a thousand to one, which only a bomb
// uses. Small parts are never held to the ratio.
inline constexpr std::uint64_t ratio = 100, freeInflation = std::uint64_t(16) << 20, largestPart = std::uint64_t(4) << 30;
inline constexpr std::size_t largestCell = 128 << 10;          // 32767 characters of 4 bytes each, and more
inline constexpr std::size_t largestRow = 16 << 20;            // a row's cells together
inline constexpr std::size_t largestStrings = std::size_t(256) << 20; // the shared strings together
inline constexpr std::size_t mostStrings = std::size_t(8) << 20;
inline constexpr int lastColumn = 16383, lastRow = 1048576;   // XFD1048576, a worksheet's last cell
inline constexpr std::size_t mostSheets = 10000;
inline constexpr std::size_t chunk = 64 << 10;

// "the workbook is damaged" where a part cannot be read, and what failed.
std::string damaged(const std::string &part, const std::string &what);

// The package in memory, as minizip reads a file.
struct Memory {
    std::span<const char> bytes;
    std::uint64_t at = 0;
};

// Where the package is: a file's path, else the bytes in memory.
struct Workbook::Package {
    std::string path;
    Memory memory;
    // A new opening of the package; throws Unreadable where it is none.
    unzFile open() const;
};

// One part of the package, inflated a chunk at a time, held to the limits.
class Part {
public:
    // A part of its own package, as a worksheet streams.
    Part(const Workbook::Package &package, const std::string &name) : Part(package.open(), unzClose, name) {}
    // A part of a package already open, read to its end before the next.
    Part(unzFile package, const std::string &name) : Part(package, [](unzFile) { return 0; }, name) {}
    Part(unzFile package, int (*close)(unzFile), const std::string &name);
    ~Part();
    Part(const Part &) = delete;
    Part &operator=(const Part &) = delete;

    bool exists() const { return open_; }
    const std::string &name() const { return name_; }

    // The next bytes; 0 at the end, once the checksum is found right.
    std::size_t read(char *to, std::size_t size);

private:
    unzFile zip() const { return zip_.get(); }

    std::unique_ptr<void, int (*)(unzFile)> zip_;
    std::string name_;
    std::uint64_t inflated_ = 0, bound_ = 0;
    bool open_ = false;
};

} // namespace workbook
