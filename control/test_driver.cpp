// The test modes: pick a symbol, toss a coin between a reading and a
// translation question, show the picture and run the quiz.
#include "catalogue/catalogue.h"
#include "control/test_driver.h"
#include "base/settings.h"
#include "glyph/glyph.h"
#include "quiz/quiz.h"

// One question; a symbol that lacks the field the coin chose is passed over
// without showing anything, and another one is picked.
static QuizResult ask_one_question()
{
    for (;;) {
        const SymbolRecord* record = pick_symbol();
        const bool about_reading = random_draw() > 0.5;
        if (about_reading) {
            if (is_absent(record->on_reading) && is_absent(record->kun_reading))
                continue;
        } else if (is_absent(record->translation)) {
            continue;
        }
        open_glyph(record);
        render_glyph(record);
        return about_reading ? quiz_reading(*record) : quiz_translation(*record);
    }
}

void run_test()
{
    if (settings.loop_mode == 'n') {
        ask_one_question();
        return;
    }
    while (ask_one_question() != Quit) {
    }
}
