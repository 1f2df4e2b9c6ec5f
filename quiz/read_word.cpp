#include <cctype>
#include <cstdio>
#include <cstring>

#include "quiz/quiz.h"

bool read_word(FILE* input, char* buffer, int size)
{
    // fscanf's width must be spelt out in the format: "%<size-1>s".
    char format[16];
    std::snprintf(format, sizeof format, "%%%ds", size - 1);
    if (std::fscanf(input, format, buffer) != 1)
        return false;
    if (static_cast<int>(std::strlen(buffer)) == size - 1) {
        // Drop the rest of an over-long word so that it cannot become the
        // answer to the next question.
        int c;
        while ((c = std::fgetc(input)) != EOF && !std::isspace(c)) {
        }
        if (c != EOF)
            std::ungetc(c, input);
    }
    return true;
}
