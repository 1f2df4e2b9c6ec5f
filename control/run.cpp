#include "control/run.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "catalogue/catalogue.h"
#include "base/fail.h"
#include "base/settings.h"
#include "control/open_streams.h"
#include "control/test_driver.h"
#include "glyph/glyph.h"
#include "quiz/ask.h"
#include "quiz/read_word.h"

ClockSource clock_source = &std::time;

void prepare_run()
{
    bool any_set_on = false;
    for (const SetInfo& set : set_table)
        any_set_on = any_set_on || settings.*set.use == 'y';
    if (!any_set_on)
        fail_run();
    fix_set_sizes();
    std::srand(static_cast<unsigned>(clock_source(nullptr)));
    open_named_streams();
}

void show_symbol()
{
    const SymbolRecord* record = pick_symbol();
    open_glyph(record);
    render_glyph(record);
    std::fprintf(settings.output, "Translation: %s  ", record->translation);
    std::fprintf(settings.output, "On: %s\n", record->on_reading);
    std::fprintf(settings.output, "Kun: %s\n", record->kun_reading);
}

void browse_loop()
{
    // Only the first character of the word matters; the read is bounded.
    char word[answer_buffer_size];
    do {
        show_symbol();
        std::fprintf(settings.output, "%s ", quit_hint);
        flush_output();
        // The end of the input ends the loop as "." would.
        if (!read_word(settings.input, word, sizeof word))
            return;
    } while (word[0] != '.');
}

void run_exercise()
{
    if (settings.test_mode == 'y') {
        run_test();
    } else if (settings.loop_mode == 'y') {
        browse_loop();
    } else {
        show_symbol();
        flush_output();
    }
}

void finish_run()
{
    if (settings.loop_mode == 'y' && settings.test_mode == 'y') {
        std::fprintf(settings.output, "Have a nice day!\n");
        flush_output();
    }
    // A failed write (a full disk, -o /dev/full) is no success.
    const bool output_failed = std::ferror(settings.output) != 0;
    std::fclose(settings.input);
    const bool close_failed = std::fclose(settings.output) != 0;
    if (settings.error == settings.output)
        settings.error = nullptr;   // -e named the output's file: one stream
    settings.input = nullptr;
    settings.output = nullptr;
    if (output_failed || close_failed)
        fail_run();
}
