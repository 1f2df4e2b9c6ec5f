// Asking for a reading or a translation and judging the answer.
#pragma once

#include <cstdio>

#include "catalogue/catalogue.h"

enum QuizResult { NotAsked = 0, Right = 1, Wrong = 2, Quit = 3 };

// The user's answer: one word, at most 255 characters and the zero byte.
constexpr int answer_buffer_size = 256;
extern char answer_buffer[answer_buffer_size];

// Blank, comma, period, colon, hyphen, tab, carriage return, line feed.
extern const char word_separators[];

bool texts_equal(const char* a, const char* b);
int text_length(const char* text);
void upcase_text(char* text);
int separator_index(const char* set, char c);
int count_words(const char* text);
char* extract_word(const char* text, int position);   // caller frees
char** split_words(const char* text);                  // caller frees, see free_words
void free_words(char** words, int count);
int count_aligned_matches(const char* first, const char* second, int shift);
int best_alignment(const char* first, const char* second);

// Writes "(Enter . to quit)" and the question, flushes, and reads one word
// into answer_buffer. False when no word could be read.
bool ask_for_answer(const char* question);

QuizResult quiz_reading(const SymbolRecord& record);
QuizResult quiz_translation(const SymbolRecord& record);

// Reads one word delimited by white space into buffer (size bytes, so at most
// size - 1 characters); the rest of an over-long word is read and dropped,
// whatever bytes it holds. The white space after the word stays unread. False
// at the end of the input, the buffer then left as it was; a read error ends
// the run with status -1.
bool read_word(FILE* input, char* buffer, int size);
