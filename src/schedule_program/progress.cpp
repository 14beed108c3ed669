#include "schedule_program/progress.h"

#include <chrono>
#include <unistd.h>

namespace progress {

namespace {

void put(const std::string &text) // standard error unbuffered, as the work's messages go
{
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (n <= 0)
            return;
        done += std::size_t(n);
    }
}

} // namespace

bool Line::terminal() { return isatty(STDERR_FILENO) == 1; }

Line::Line(std::function<std::string()> said, bool shown) : said_(std::move(said))
{
    if (shown)
        thread_ = std::thread([this] { run(); });
}

Line::~Line()
{
    if (!thread_.joinable())
        return;
    {
        const std::lock_guard lock(mutex_);
        done_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void Line::run()
{
    using namespace std::chrono_literals;
    std::unique_lock lock(mutex_);
    // Work done within a second needs no word.
    if (wake_.wait_for(lock, 1s, [this] { return done_; }))
        return;
    do {
        // Back to the line's start, the line, the rest of the old one erased.
        put("\r" + said_() + "\x1b[K");
    } while (!wake_.wait_for(lock, 200ms, [this] { return done_; }));
    put("\r\x1b[K");
}

} // namespace progress
