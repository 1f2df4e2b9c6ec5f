#include "base/settings.h"

#include "base/fail.h"

Settings settings;

void flush_output()
{
    if (std::fflush(settings.output) != 0 || std::ferror(settings.output))
        fail_run();
}
