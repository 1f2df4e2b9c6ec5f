// Asking for a reading: exact equality with the on or the kun reading.
#include "control/settings.h"
#include "quiz/quiz.h"

static bool is_absent(const char* field)
{
    return field[0] == '-';
}

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
