// Before anything else runs.
#pragma once

// A standard descriptor that is closed is filled, so that no file the run
// opens takes its place and any use of the missing stream fails; a reader
// gone from the output pipe and a full file-size limit become failed writes,
// not signals.
void guard_process();
