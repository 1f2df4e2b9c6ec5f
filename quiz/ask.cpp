// The prompt and the one-word read that both quizzes share.
#include "control/settings.h"
#include "quiz/quiz.h"

char answer_buffer[answer_buffer_size];

bool ask_for_answer(const char* question)
{
    std::fprintf(settings.output, "(Enter . to quit)");
    std::fprintf(settings.output, "%s", question);
    flush_output();
    return read_word(settings.input, answer_buffer, answer_buffer_size);
}
