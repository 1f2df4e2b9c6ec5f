// The prompt and the one-word read that both quizzes share.
#include "quiz/ask.h"

#include <cstdio>

#include "base/settings.h"
#include "quiz/read_word.h"

char answer_buffer[answer_buffer_size];
const char quit_hint[] = "(Enter . to quit)";

bool ask_for_answer(const char* question)
{
    std::fprintf(settings.output, "%s", quit_hint);
    std::fprintf(settings.output, "%s", question);
    flush_output();
    return read_word(settings.input, answer_buffer, answer_buffer_size);
}
