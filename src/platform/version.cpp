#include "platform/version.h"

#include "platform/build_version.h"

namespace platform {

QString versionText()
{
    return QString::asprintf("%d.%02d.%04d", build::versionMajor, build::versionMinor,
                             build::versionTweak);
}

} // namespace platform
