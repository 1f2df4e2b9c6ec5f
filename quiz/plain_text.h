// Plain text operations on zero-terminated byte strings; an absent text is a
// null pointer and is never the same as the empty text or "-".
#pragma once

// Blank, comma, period, colon, hyphen, tab, carriage return, line feed.
extern const char word_separators[];

bool texts_equal(const char* a, const char* b);
int text_length(const char* text);
void upcase_text(char* text);
int separator_index(const char* set, char c);
