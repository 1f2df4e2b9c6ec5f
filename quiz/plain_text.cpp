// Plain text operations on zero-terminated byte strings; an absent text is a
// null pointer and is never the same as the empty text or "-".
#include "quiz/plain_text.h"

const char word_separators[] = " ,.:-\t\r\n";

bool texts_equal(const char* a, const char* b)
{
    if (!a || !b)
        return false;
    int i = 0;
    while (a[i] && b[i]) {
        if (a[i] != b[i])
            return false;
        ++i;
    }
    return a[i] == b[i];
}

int text_length(const char* text)
{
    if (!text)
        return 0;
    int length = 0;
    while (text[length])
        ++length;
    return length;
}

void upcase_text(char* text)
{
    if (!text)
        return;
    for (; *text; ++text) {
        if (*text >= 'a' && *text <= 'z')
            *text = static_cast<char>(*text - 32);
    }
}

int separator_index(const char* set, char c)
{
    if (!set)
        return -1;
    for (int i = 0; set[i]; ++i) {
        if (set[i] == c)
            return i;
    }
    return -1;
}
