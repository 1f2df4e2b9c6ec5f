// Helpers shared by the tests: fresh settings on in-memory streams, exact
// generator values, and runs of the built program.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"

// Settings back to their defaults, with input read from `input_text`,
// output and error captured in memory.
struct StreamCapture {
    explicit StreamCapture(const std::string& input_text = "");
    ~StreamCapture();
    std::string output();   // everything written to settings.output so far
    std::string error();    // everything written to settings.error so far
    std::string closed_output();   // the output after finish_run closed it
    FILE* input_stream = nullptr;
    FILE* output_stream = nullptr;
    FILE* error_stream = nullptr;
    char* output_data = nullptr;
    size_t output_size = 0;
    char* error_data = nullptr;
    size_t error_size = 0;
    bool detached = false;   // a newer capture replaced these streams
    StreamCapture* previous_capture = nullptr;
};

// From now on the generator gives these values in order; the test fails if
// more are drawn. Restores rand() when the guard goes.
struct ScriptedRandom {
    ScriptedRandom(std::initializer_list<int> values);
    explicit ScriptedRandom(std::vector<int> values);
    ~ScriptedRandom();
    size_t used() const;
};

struct ProgramRun {
    int status = -1;           // exit status as the shell sees it
    std::string output;        // standard output
    std::string error;         // standard error
};

// Runs the built program with these arguments, standard input from
// `input_text` (no standard input at all when empty), in `directory`.
ProgramRun run_program(const std::vector<std::string>& arguments,
                       const std::string& input_text = "",
                       const std::string& directory = ".");

// A new empty directory under the system's temporary directory, removed with
// all it holds when the object goes (by the process that made it, not by a
// death test's child).
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    int owner_;
};

void write_file(const std::string& path, const std::string& content);
std::string read_file(const std::string& path);

// How long a kanji translation may be, and how many glosses it may have
// (catalogue/README.md, "How a kanji translation is written").
constexpr size_t translation_length_limit = 36;
constexpr int translation_gloss_limit = 4;

// Where the repository's files are.
std::string source_path(const std::string& relative);

// A new symbol directory holding, for every catalogue row, a picture file
// with the same content, laid out as the program looks for them
// (DIR/Hiragana/a.1.pbm ...).
struct SymbolDirectory : TemporaryDirectory {
    explicit SymbolDirectory(const std::string& picture);
    // Each row's picture as this function draws it from the row's number.
    explicit SymbolDirectory(std::string (*picture_of_row)(int row));
};

// Runs a shell script with RILK naming the built program; one that has not
// ended after `seconds` is killed. Gives its exit status, or -1 when killed.
int run_script(const std::string& script, int seconds = 20);

// The sign and the letter of a set's switch on the command line: "+k" for
// set_switch('+', Katakana).
std::string set_switch(char sign, SymbolSet set);

// Quotes a text for the shell.
std::string shell_quote(const std::string& text);

// The catalogue row of this set (numbered from 1) with this image file, or
// -1 when the set has none.
int find_row(int set_number, const std::string& image_file);
// The same row's record; when there is none the test fails and gets the
// set's first row.
const SymbolRecord& record_named(int set_number, const std::string& image_file);

// The lines of a text, each without its line feed; text after the last line
// feed is dropped.
std::vector<std::string> lines_of(const std::string& text);
