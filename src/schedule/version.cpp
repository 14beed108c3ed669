#include "schedule/schedule.h"

#include <cstdio>

namespace schedule {

std::string versionText()
{
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d.%04d", QUILLMERE_VERSION_MAJOR, QUILLMERE_VERSION_MINOR,
                  QUILLMERE_VERSION_TWEAK);
    return text;
}

} // namespace schedule
