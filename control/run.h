// The run from start to end: preparation, the exercise modes and the end.
#pragma once

#include <ctime>

// The clock the generator is seeded from: time() in the program; tests
// replace it to start runs in a second of their choosing.
using ClockSource = std::time_t (*)(std::time_t*);
extern ClockSource clock_source;

// Refuses a run with no set on, fixes the set sizes, seeds the generator and
// opens the streams named on the command line. May end the process.
void prepare_run();

// Chooses browse once, browse loop, test once or test loop.
void run_exercise();

// Picks one symbol, prints its picture and its labels.
void show_symbol();

// The browse loop: a symbol, a prompt, one word; a word starting with "."
// or the end of the input ends it.
void browse_loop();

// Prints the farewell after a test loop and closes input and output. Ends the
// process with status -1 when the output could not be written.
void finish_run();
