#pragma once

#include "numeric/failure.h"

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

} // namespace platform
