// Reading one answer word, bounded by the buffer it goes to.
#include "quiz/read_word.h"

#include <cctype>
#include <cstdio>

#include "base/fail.h"

bool read_word(FILE* input, char* buffer, int size)
{
    // fscanf's width must be spelt out in the format: "%<size-1>s".
    char format[16];
    std::snprintf(format, sizeof format, "%%%ds", size - 1);
    const bool read = std::fscanf(input, format, buffer) == 1;
    if (read) {
        // A word cut at the width has more of it waiting, whatever bytes it
        // holds (a zero byte too): drop the rest so that it cannot become the
        // answer to the next question.
        int c;
        while ((c = std::fgetc(input)) != EOF && !std::isspace(c)) {
        }
        if (c != EOF)
            std::ungetc(c, input);
    }
    // A read that failed is no end of the input.
    if (std::ferror(input))
        fail_run();
    return read;
}
