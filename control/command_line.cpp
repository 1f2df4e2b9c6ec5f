// The command line, read strictly left to right into the settings.
#include "control/command_line.h"

#include <cstdlib>
#include <cstring>

#include "base/end_process.h"
#include "base/fail.h"
#include "base/settings.h"
#include "control/usage.h"

// The usage or version text is the whole run: it has to reach its reader.
[[noreturn]] static void end_after_text()
{
    flush_output();
    end_process(0);
}

const SwitchLetter switch_letters[switch_letter_count] = {
    {'t', &Settings::test_mode},     {'l', &Settings::loop_mode},
    {'g', &Settings::use_hiragana},  {'G', &Settings::use_hiragana2},
    {'k', &Settings::use_katakana},  {'K', &Settings::use_katakana2},
    {'j', &Settings::use_kanji},
};

void set_mode_letter(char letter, char value)
{
    for (const SwitchLetter& entry : switch_letters) {
        if (entry.letter == letter) {
            settings.*entry.field = value;
            return;
        }
    }
    print_usage();
    end_after_text();
}

void parse_command_line(int argc, char** argv)
{
    // The standard streams, unless the caller has put others in place.
    if (!settings.input)
        settings.input = stdin;
    if (!settings.output)
        settings.output = stdout;
    if (!settings.error)
        settings.error = stderr;

    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (argument[0] == '+') {
            if (std::strlen(argument) != 2) {
                print_usage();
                fail_run();
            }
            set_mode_letter(argument[1], 'y');
            continue;
        }
        if (argument[0] != '-') {
            print_usage();
            end_after_text();
        }
        if (std::strlen(argument) != 2) {
            print_usage();
            fail_run();
        }
        const char letter = argument[1];
        switch (letter) {
        case 'h':
            print_usage();
            end_after_text();
        case 'v':
            print_version();
            end_after_text();
        case 'D': settings.debug = 1; break;
        case 's': settings.grey_shades = 'y'; break;
        case 'r': settings.reverse = 'y'; break;
        case 'p': case 'x': case 'y': case 'i': case 'o': case 'e': {
            // The next argument is the value, whatever it looks like.
            if (i + 1 >= argc)
                fail_run();
            const char* value = argv[++i];
            if (letter == 'p') settings.symbol_path = value;
            else if (letter == 'x') settings.max_width = std::atoi(value);
            else if (letter == 'y') settings.max_height = std::atoi(value);
            else if (letter == 'i') settings.input_path = value;
            else if (letter == 'o') settings.output_path = value;
            else settings.error_path = value;
            break;
        }
        default:
            set_mode_letter(letter, 'n');
        }
    }
}
