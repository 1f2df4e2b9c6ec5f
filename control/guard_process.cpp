#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "base/fail.h"
#include "control/guard_process.h"

void guard_process()
{
    // /dev/null opened the wrong way round: reads of a missing standard input
    // fail, and so do writes to a missing output; neither looks like success.
    const int modes[3] = {O_WRONLY, O_RDONLY, O_RDONLY};
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lower ones are open by now, so this one is the lowest free.
        if (open("/dev/null", modes[descriptor] | O_NOCTTY) != descriptor)
            fail_run();
    }
    // The write then fails with EPIPE or EFBIG and the run ends with -1.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}
