// The letter-alignment count: how many characters of two texts agree when
// one is slid along the other by a fixed shift.
#include "quiz/alignment.h"

#include "quiz/plain_text.h"

int count_aligned_matches(const char* first, const char* second, int shift)
{
    if (!first || !second)
        return 0;
    const int first_length = text_length(first);
    const int second_length = text_length(second);
    if (shift < 1 - second_length || shift >= first_length)
        return 0;
    int i = shift > 0 ? shift : 0;    // in the first text
    int j = shift < 0 ? -shift : 0;   // in the second text
    int matches = 0;
    for (; i < first_length && j < second_length; ++i, ++j) {
        if (first[i] == second[j])
            ++matches;
    }
    return matches;
}

int best_alignment(const char* first, const char* second)
{
    if (!first || !second)
        return 0;
    const int first_length = text_length(first);
    const int second_length = text_length(second);
    int best = 0;
    for (int shift = 1 - second_length; shift <= first_length - 1; ++shift) {
        const int matches = count_aligned_matches(first, second, shift);
        if (matches > best)
            best = matches;
    }
    return best;
}
