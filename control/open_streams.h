// The input, output and error files the command line names.
#pragma once

// Opens the files -i, -o and -e name. A directory as input, or an output that
// is the input file or a file in a set directory, ends the run before any file
// is created or truncated; -o and -e naming one file share one stream.
void open_named_streams();
