// The two quizzes. A reading is judged by exact equality with the on or the
// kun reading; a translation is scored against every word of the stored
// translation by letter alignment, without regard to ASCII case.
#include "quiz/quiz.h"

#include <cstdio>

#include "base/settings.h"
#include "quiz/alignment.h"
#include "quiz/ask.h"
#include "quiz/plain_text.h"
#include "quiz/words.h"

// Only a present reading can be matched: "-" typed against the absent
// marker is no answer.
static bool matches_reading(const char* reading, const char* answer)
{
    return !is_absent(reading) && texts_equal(reading, answer);
}

QuizResult quiz_reading(const SymbolRecord& record)
{
    if (is_absent(record.on_reading) && is_absent(record.kun_reading))
        return NotAsked;
    // The end of the input ends the test as "." does; the previous answer is
    // never judged again.
    if (!ask_for_answer(" Reading? "))
        return Quit;
    if (answer_buffer[0] == '.')
        return Quit;
    if (matches_reading(record.on_reading, answer_buffer) ||
        matches_reading(record.kun_reading, answer_buffer)) {
        std::fprintf(settings.output, "That's right!\n");
        return Right;
    }
    std::fprintf(settings.output, "No, the answer is wrong.\n");
    std::fprintf(settings.output, "Correct answers are:\n");
    std::fprintf(settings.output, "Readings:\n");
    std::fprintf(settings.output, "On: %s\n", record.on_reading);
    std::fprintf(settings.output, "Kun: %s\n", record.kun_reading);
    std::fprintf(settings.output, "Translations: %s\n", record.translation);
    flush_output();
    return Wrong;
}

// Single precision on purpose: a score of exactly nine tenths rounds to just
// below the double pass mark and fails.
static float word_score(char* word)
{
    upcase_text(word);
    upcase_text(answer_buffer);
    const int matches = best_alignment(word, answer_buffer);
    const int word_length = text_length(word);
    const int answer_length = text_length(answer_buffer);
    const int longer = answer_length > word_length ? answer_length : word_length;
    if (longer == 0)
        return 0.0f;
    return static_cast<float>(matches) / static_cast<float>(longer);
}

static float best_word_score(const char* translation)
{
    const int count = count_words(translation);
    char** words = split_words(translation);
    float best = 0.0f;
    for (int i = 0; i < count; ++i) {
        const float score = word_score(words[i]);
        if (score > best)
            best = score;
    }
    free_words(words, count);
    return best;
}

QuizResult quiz_translation(const SymbolRecord& record)
{
    const double pass_mark = 0.9;
    if (is_absent(record.translation))
        return NotAsked;
    // The end of the input ends the test as "." does; the previous answer is
    // never judged again.
    if (!ask_for_answer(" Translation? "))
        return Quit;
    if (answer_buffer[0] == '.')
        return Quit;
    if (static_cast<double>(best_word_score(record.translation)) >= pass_mark) {
        std::fprintf(settings.output, "That's right!\n");
        return Right;
    }
    std::fprintf(settings.output, "No, wrong answer.\n");
    std::fprintf(settings.output, "Correct answers are:\n");
    std::fprintf(settings.output, "Translations: %s\n", record.translation);
    std::fprintf(settings.output, "Readings:\n");
    std::fprintf(settings.output, "On: %s\n", record.on_reading);
    std::fprintf(settings.output, "Kun: %s\n", record.kun_reading);
    flush_output();
    return Wrong;
}
