#pragma once

#include "numeric/failure.h"

#include <QString>

namespace platform {

// How a failed calculation reaches the engineer. The handler has already
// stopped; the boxes keep what it wrote before failing, and the program goes on.
// The message is the finished text the engineer reads.
class FailureReport {
public:
    virtual ~FailureReport() = default;
    virtual void report(numeric::FailureKind kind, const QString &message) = 0;
};

// The real report: a modal message box titled "Quillmere".
class MessageBoxReport final : public FailureReport {
public:
    void report(numeric::FailureKind kind, const QString &message) override;
};

} // namespace platform
