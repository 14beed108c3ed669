#pragma once

// Long work said as it goes: on a terminal, a run that takes longer than
// about a second shows one line of how far it has got, rewritten in place
// and cleared at the end. Never in a pipe or a file, where a log is read
// later and a line rewritten would only be noise.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace progress {

class Line {
public:
    // `said` gives the line as the work stands; it is asked from another
    // thread, so it reads only what may be read while the work goes on.
    // `shown`: whether standard error is the engineer's terminal.
    Line(std::function<std::string()> said, bool shown);
    ~Line(); // clears the line
    Line(const Line &) = delete;
    Line &operator=(const Line &) = delete;

    // Whether standard error is a terminal.
    static bool terminal();

private:
    void run();

    std::function<std::string()> said_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

} // namespace progress
