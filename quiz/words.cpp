// Splitting a translation into its words: maximal runs of characters that
// are not word separators.
#include "quiz/words.h"

#include <cstdlib>
#include <cstring>

#include "base/fail.h"
#include "quiz/plain_text.h"

static bool is_separator(char c)
{
    return separator_index(word_separators, c) >= 0;
}

int count_words(const char* text)
{
    if (!text)
        return 0;
    int count = 0;
    char inside_word = 'n';
    for (; *text; ++text) {
        if (!is_separator(*text)) {
            if (inside_word == 'n') {
                inside_word = 'y';
                ++count;
            }
        } else if (inside_word == 'y') {
            inside_word = 'n';
        }
    }
    return count;
}

// Storage of `count` zero bytes; the run ends when there is none to be had.
static void* zeroed_or_fail(size_t count, size_t size)
{
    void* storage = std::calloc(count, size);
    if (!storage)
        fail_run();
    return storage;
}

char* extract_word(const char* text, int position)
{
    if (!text || position < 0 || position >= text_length(text))
        return nullptr;
    int start = position;
    if (!is_separator(text[start])) {
        while (start > 0 && !is_separator(text[start - 1]))
            --start;
    } else {
        while (text[start] && is_separator(text[start]))
            ++start;
    }
    int end = start;
    while (text[end] && !is_separator(text[end]))
        ++end;
    char* word = static_cast<char*>(zeroed_or_fail(static_cast<size_t>(end - start) + 1, 1));
    std::memcpy(word, text + start, static_cast<size_t>(end - start));
    return word;
}

char** split_words(const char* text)
{
    if (!text)
        return nullptr;
    const int count = count_words(text);
    // One entry more than needed, so that a text without words still gives
    // a list rather than an absent one.
    char** words = static_cast<char**>(zeroed_or_fail(static_cast<size_t>(count) + 1, sizeof(char*)));
    int position = 0;
    for (int i = 0; i < count; ++i) {
        while (text[position] && is_separator(text[position]))
            ++position;
        words[i] = extract_word(text, position);
        position += text_length(words[i]);
    }
    return words;
}

void free_words(char** words, int count)
{
    if (!words)
        return;
    for (int i = 0; i < count; ++i)
        std::free(words[i]);
    std::free(words);
}
