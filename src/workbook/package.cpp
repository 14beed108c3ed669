#include "workbook/package.h"

#include <algorithm>
#include <cstring>

namespace workbook {

std::string damaged(const std::string &part, const std::string &what)
{
    return "工作簿已损坏，" + part + " 无法读取 (the workbook is damaged: " + what + ")";
}

namespace {

voidpf ZCALLBACK memoryOpen(voidpf opaque, const void *, int) { return new Memory{*static_cast<Memory *>(opaque)}; }

uLong ZCALLBACK memoryRead(voidpf, voidpf stream, void *buffer, uLong size)
{
    auto *m = static_cast<Memory *>(stream);
    const std::uint64_t n = std::min<std::uint64_t>(size, m->bytes.size() - m->at);
    std::memcpy(buffer, m->bytes.data() + m->at, std::size_t(n));
    m->at += n;
    return uLong(n);
}

uLong ZCALLBACK memoryWrite(voidpf, voidpf, const void *, uLong) { return 0; }

ZPOS64_T ZCALLBACK memoryTell(voidpf, voidpf stream) { return static_cast<Memory *>(stream)->at; }

long ZCALLBACK memorySeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto *m = static_cast<Memory *>(stream);
    const std::uint64_t base = origin == ZLIB_FILEFUNC_SEEK_CUR ? m->at
                               : origin == ZLIB_FILEFUNC_SEEK_END ? m->bytes.size() : 0;
    if (offset > m->bytes.size() - base)
        return -1;
    m->at = base + offset;
    return 0;
}

int ZCALLBACK memoryClose(voidpf, voidpf stream)
{
    delete static_cast<Memory *>(stream);
    return 0;
}

int ZCALLBACK memoryError(voidpf, voidpf) { return 0; }

} // namespace

unzFile Workbook::Package::open() const
{
    unzFile zip = nullptr;
    if (!path.empty()) {
        zip = unzOpen64(path.c_str());
    } else {
        zlib_filefunc64_def functions{memoryOpen, memoryRead, memoryWrite, memoryTell, memorySeek,
                                      memoryClose, memoryError, const_cast<Memory *>(&memory)};
        zip = unzOpen2_64("workbook", &functions);
    }
    if (!zip)
        throw Unreadable("不是 XLSX 工作簿，或工作簿已损坏 (no workbook: its zip package cannot be opened)");
    return zip;
}

Part::Part(unzFile package, int (*close)(unzFile), const std::string &name) : zip_(package, close), name_(name)
{
    // Part names are case-insensitive.
    if (unzLocateFile(zip(), name.c_str(), 2) != UNZ_OK)
        return;
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip(), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        throw Unreadable(damaged(name, "its entry"));
    if (info.flag & 1)
        throw Unreadable("工作簿已加密，无法读取：请在电子表格程序中去掉密码另存后再读 (an encrypted workbook: save a copy "
                         "without its password)");
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED)
        throw Unreadable(damaged(name, "an unknown compression"));
    if (unzOpenCurrentFile(zip()) != UNZ_OK)
        throw Unreadable(damaged(name, "its data"));
    // minizip inflates no more than the entry's compressed size, so the
    // bound holds even where the sizes the entry states are false.
    bound_ = std::min(largestPart, std::max<std::uint64_t>(freeInflation, info.compressed_size * ratio));
    open_ = true;
}

Part::~Part()
{
    if (open_)
        unzCloseCurrentFile(zip());
}

std::size_t Part::read(char *to, std::size_t size)
{
    if (!open_)
        return 0;
    const int n = unzReadCurrentFile(zip(), to, unsigned(size));
    if (n < 0)
        throw Unreadable(damaged(name_, "its data do not inflate"));
    inflated_ += std::uint64_t(n);
    if (inflated_ > bound_)
        throw Unreadable("工作簿的 " + name_ + " 解压后远大于其压缩大小，拒绝读取 (a part inflates far beyond its size, "
                         "as a zip bomb does)");
    if (n == 0) {
        open_ = false;
        if (unzCloseCurrentFile(zip()) == UNZ_CRCERROR)
            throw Unreadable(damaged(name_, "its checksum is wrong"));
    }
    return std::size_t(n);
}

} // namespace workbook
