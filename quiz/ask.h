// The prompt and the one-word read that both quizzes share.
#pragma once

// The user's answer: one word, at most 255 characters and the zero byte.
constexpr int answer_buffer_size = 256;
extern char answer_buffer[answer_buffer_size];

// What every prompt begins with, in the quizzes and the browse loop.
extern const char quit_hint[];

// Writes the quit hint and the question, flushes, and reads one word into
// answer_buffer. False when no word could be read.
bool ask_for_answer(const char* question);
