#pragma once

// The engineer's files, as the program reads and replaces them. A schedule is
// never written over, a file that is read-only stays so, and a file that is
// replaced keeps what the engineer gave it: its mode, its owner where the
// program may set it, the link that leads to it. Each file is written whole
// to a temporary one beside it first; an interrupted run (Ctrl-C, the session
// closed, the machine's shutdown) removes every temporary and leaves each
// target as it was.

#include <string>

namespace files {

// Why a schedule cannot be read from `path`, in the engineer's words: no
// such file, a folder, no permission; "" where it can be opened.
std::string unreadable(const std::string &path);

// Whether two paths name one file: the same path, a link to it or another
// name of it. False where either does not exist.
bool same(const std::string &a, const std::string &b);

// SIGINT, SIGTERM and SIGHUP remove every temporary file and end the program
// with 128 plus the signal, as a shell reports it (130, 143, 129).
void removeTemporariesOnSignals();

// A file the program writes: a temporary file beside the file `path` leads
// to (the end of its links), which takes its place only when complete.
class Target {
public:
    explicit Target(const std::string &path);
    ~Target(); // removes the temporary where it was not committed
    Target(const Target &) = delete;
    Target &operator=(const Target &) = delete;

    // Why the file cannot be written, naming it (read-only, a folder, a
    // folder that does not exist or may not be written in); "" where the
    // temporary is ready.
    const std::string &problem() const { return problem_; }
    const std::string &temporary() const { return temporary_; }
    // Puts the temporary in the file's place; false where it could not.
    bool commit();

private:
    std::string final_, temporary_, problem_;
    int slot_ = -1; // where the signal handler finds the temporary
};

} // namespace files
