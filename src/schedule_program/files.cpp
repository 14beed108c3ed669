#include "schedule_program/files.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

// The temporaries being written, for the signal handler, which may only
// read them and unlink: a run writes at most the results, the sheets and
// the drawing.
std::array<std::atomic<const char *>, 8> temporaries{};

extern "C" void interrupted(int signal)
{
    for (auto &slot : temporaries)
        if (const char *path = slot.load())
            unlink(path);
    _exit(128 + signal);
}

int enlist(const char *path)
{
    for (std::size_t n = 0; n < temporaries.size(); ++n) {
        const char *none = nullptr;
        if (temporaries[n].compare_exchange_strong(none, path))
            return int(n);
    }
    return -1;
}

void discharge(int slot)
{
    if (slot >= 0)
        temporaries[std::size_t(slot)].store(nullptr);
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path leads to through its links, which need not exist yet (a
// link may point at a file still to be written).
std::string endOfLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string to(std::size_t(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = readlink(path.c_str(), to.data(), to.size());
        if (n < 0)
            return path;
        to.resize(std::size_t(n));
        path = to.starts_with('/') ? to : folderOf(path) + "/" + to;
    }
    return path;
}

// Why a folder takes no new file, from what creating one in it said.
std::string folderProblem(const std::string &folder, int error)
{
    switch (error) {
    case ENOENT:
        return "文件夹 " + folder + " 不存在：请先建立它或写到别处 (the folder does not exist: create it or write elsewhere)";
    case ENOTDIR:
        return folder + " 不是文件夹 (a part of the path is not a folder)";
    case EACCES:
    case EPERM:
        return "没有在文件夹 " + folder + " 中写文件的权限 (no permission to write in the folder)";
    case EROFS:
        return "文件夹 " + folder + " 在只读的磁盘上 (the folder is on a read-only file system)";
    case ENOSPC:
    case EDQUOT:
        return "磁盘已满 (no space left on the disk)";
    default:
        return "无法在文件夹 " + folder + " 中写文件 (cannot write in the folder): " + std::strerror(error);
    }
}

} // namespace

std::string unreadable(const std::string &path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return "没有此文件：请检查文件名和文件夹 (no such file: check the name and the folder)";
        if (error == EACCES)
            return "没有读取此文件的权限 (no permission to read the file)";
        return std::string("无法打开 (cannot open the schedule): ") + std::strerror(error);
    }
    if (S_ISDIR(st.st_mode))
        return "是文件夹，不是钢绞线表文件 (a folder, not a schedule file)";
    if (access(path.c_str(), R_OK) != 0)
        return "没有读取此文件的权限 (no permission to read the file)";
    return {};
}

bool same(const std::string &a, const std::string &b)
{
    struct stat first {}, second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

void removeTemporariesOnSignals()
{
    struct sigaction action {};
    action.sa_handler = interrupted;
    sigemptyset(&action.sa_mask);
    constexpr int signals[]{SIGINT, SIGTERM, SIGHUP};
    for (int signal : signals) // one at a time: the handler is not run inside itself
        sigaddset(&action.sa_mask, signal);
    for (int signal : signals)
        sigaction(signal, &action, nullptr);
}

Target::Target(const std::string &path) : final_(endOfLinks(path))
{
    struct stat st {};
    const bool exists = stat(final_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        problem_ = "是文件夹，不能写成文件 (a folder: name a file)";
        return;
    }
    // Root may write any file; a file the engineer made read-only is still
    // one the program leaves alone.
    if (exists && ((st.st_mode & 0222) == 0 || access(final_.c_str(), W_OK) != 0)) {
        problem_ = "文件只读，未改写：请取消只读或写到别处 (the file is read-only and was left as it is: make it writable or "
                   "write elsewhere)";
        return;
    }
    std::string pattern = final_ + ".XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        problem_ = folderProblem(folderOf(final_), errno);
        return;
    }
    if (exists) {
        // A shared file stays shared, its group and owner as they were where
        // the program may keep them.
        if (fchown(fd, st.st_uid, st.st_gid) != 0 && fchown(fd, geteuid(), st.st_gid) != 0) {
            // Another user's file: it becomes the engineer's own, as any
            // editor leaves it.
        }
        fchmod(fd, st.st_mode & 07777);
    } else {
        // mkstemp keeps the file private; new results are as readable as any
        // file the engineer writes.
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    close(fd);
    temporary_ = pattern;
    slot_ = enlist(temporary_.c_str());
}

Target::~Target()
{
    if (!temporary_.empty()) {
        std::remove(temporary_.c_str());
        discharge(slot_);
    }
}

bool Target::commit()
{
    if (std::rename(temporary_.c_str(), final_.c_str()) != 0)
        return false;
    discharge(slot_);
    temporary_.clear();
    return true;
}

} // namespace files
