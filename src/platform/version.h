#pragma once

#include <QString>

namespace platform {

// The version as the program reports it: major, two-digit minor and four-digit
// revision, "2019.06.0006" for version 2019.6.0.6.
QString versionText();

} // namespace platform
