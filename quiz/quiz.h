// The quizzes: asking for a reading or a translation and judging the answer.
#pragma once

#include "catalogue/catalogue.h"

enum QuizResult { NotAsked = 0, Right = 1, Wrong = 2, Quit = 3 };

QuizResult quiz_reading(const SymbolRecord& record);
QuizResult quiz_translation(const SymbolRecord& record);
