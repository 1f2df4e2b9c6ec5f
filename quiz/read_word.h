// Reading one answer word.
#pragma once

#include <cstdio>

// Reads one word delimited by white space into buffer (size bytes, so at most
// size - 1 characters); the rest of an over-long word is read and dropped,
// whatever bytes it holds. The white space after the word stays unread. False
// at the end of the input, the buffer then left as it was; a read error ends
// the run with status -1.
bool read_word(FILE* input, char* buffer, int size);
