// The one way a run fails.
#pragma once

// Ends the process with status -1 (255 to the shell), printing nothing.
[[noreturn]] void fail_run();
