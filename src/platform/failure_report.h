#pragma once

#include "numeric/failure.h"

#include <QString>

namespace platform {

// How a failed calculation reaches the engineer. The handler has already
// stopped; the boxes keep what it wrote before failing, and the program goes on.
class FailureReport {
public:
    virtual ~FailureReport() = default;
    virtual void report(const numeric::Failure &failure) = 0;
};

// The real report: a modal message box titled "Quillmere".
class MessageBoxReport final : public FailureReport {
public:
    void report(const numeric::Failure &failure) override;
};

// The kind of a failure in plain Chinese with the English term, e.g.
// "溢出 (overflow)".
QString failureKindText(numeric::FailureKind kind);

// The whole text of a failure report. All report wording lives here.
QString failureMessage(const numeric::Failure &failure);

} // namespace platform
