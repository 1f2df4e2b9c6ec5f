// The run from start to end: preparation, the exercise modes and the end.
#pragma once

// Before anything else: a standard descriptor that is closed is filled, so
// that no file the run opens takes its place and any use of the missing
// stream fails; a reader gone from the output pipe and a full file-size limit
// become failed writes, not signals.
void guard_process();

// Refuses a run with no set on, fixes the set sizes, seeds the generator and
// opens the streams named on the command line. May end the process.
void prepare_run();

// Opens the files -i, -o and -e name. A directory as input, or an output that
// is the input file or a file in a set directory, ends the run before any file
// is created or truncated; -o and -e naming one file share one stream.
void open_named_streams();

// Chooses browse once, browse loop, test once or test loop.
void run_exercise();

// Picks one symbol, prints its picture and its labels.
void show_symbol();

// The browse loop: a symbol, a prompt, one word; a word starting with "."
// or the end of the input ends it.
void browse_loop();

// The test modes: questions until one is answered (once) or "." (loop).
void run_test();

// Prints the farewell after a test loop and closes input and output. Ends the
// process with status -1 when the output could not be written.
void finish_run();
