// Splitting a translation into its words.
#pragma once

int count_words(const char* text);
char* extract_word(const char* text, int position);   // caller frees
char** split_words(const char* text);                  // caller frees, see free_words
void free_words(char** words, int count);
