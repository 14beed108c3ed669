#pragma once

#include "platform/failure_report.h"
#include "platform/prompt.h"

namespace platform {

// The dialogs a handler may open. The program passes the real ones; tests pass
// scripted answers and a recorder of failures.
struct Services {
    Prompt &prompt;
    FailureReport &failures;
};

} // namespace platform
