// The test modes.
#pragma once

// Questions until one is answered (once) or "." is typed (loop).
void run_test();
