// The one place the process ends before main returns. The fuzz target links
// its own, which hands the status back instead of ending the process.
#pragma once

// Ends the process with this status (0, or -1: 255 to the shell).
[[noreturn]] void end_process(int status);
