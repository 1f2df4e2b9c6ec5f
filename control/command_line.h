// The command line, read into the settings.
#pragma once

#include "base/settings.h"

// The switch letters that follow "-" (off) or "+" (on), and the switch each
// sets: the exercise modes, then one letter per symbol set.
struct SwitchLetter {
    char letter;
    char Settings::*field;
};
constexpr int switch_letter_count = 7;
extern const SwitchLetter switch_letters[switch_letter_count];

// Fills settings from the arguments, strictly left to right. Input, output
// and error start as the standard streams, or as the streams already set.
// Prints the usage or version text and ends the process where the command
// line asks for it or does not fit.
void parse_command_line(int argc, char** argv);

// Applies one switch letter with 'y' or 'n'; any other letter prints the usage text and ends the process with status 0.
void set_mode_letter(char letter, char value);
