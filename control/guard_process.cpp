#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "base/fail.h"
#include "control/guard_process.h"

void guard_process()
{
    // A missing descriptor is filled with one end of a pipe of the process's
    // own, the wrong way round: the write end for standard input, the read
    // end for standard output and error. Reads of a missing input then fail,
    // and so do writes to a missing output; neither looks like success. The
    // pipe is reached by no name but the descriptor's own (/dev/stdout,
    // /dev/fd/1 ...), which open_named_streams refuses.
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lower ones are open by now, so the read end takes this one.
        int ends[2];
        if (pipe(ends) != 0 || ends[0] != descriptor)
            fail_run();
        if (descriptor == 0 && dup2(ends[1], descriptor) != descriptor)
            fail_run();
        close(ends[1]);
    }
    // The write then fails with EPIPE or EFBIG and the run ends with -1.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}
