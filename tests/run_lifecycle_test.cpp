#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "control/run.h"
#include "control/settings.h"
#include "quiz/quiz.h"
#include "tests/test_support.h"

namespace {

constexpr int largest = 2147483647;

// Every row's picture: 3 x 2 pixels, printed one character per pixel.
const std::string picture = "P1\n3 2\n1 0 1\n0 1 0\n";
const std::string picture_text = "O O\n O \n";

const std::string& symbols()
{
    static const SymbolDirectory directory(picture);
    return directory.path();
}

void browse(char loop, const std::string& sets = "g")
{
    settings.test_mode = 'n';
    settings.loop_mode = loop;
    settings.symbol_path = symbols().c_str();
    settings.use_hiragana = sets.find('g') != std::string::npos ? 'y' : 'n';
    settings.use_kanji = sets.find('j') != std::string::npos ? 'y' : 'n';
}

TEST(BrowseMode, OncePrintsThePictureThenTheLabels)
{
    struct Case {
        std::string sets;
        std::vector<int> values;
        std::string labels;
    };
    const Case cases[] = {
        {"g", {0, 0}, "Translation: -  On: a\nKun: a\n"},
        {"j", {largest, 0}, "Translation: day, sun  On: -\nKun: -\n"},
        {"j", {largest, largest}, "Translation: statue  On: -\nKun: zo\n"},
    };
    for (const Case& c : cases) {
        StreamCapture streams("never read\n");
        browse('n', c.sets);
        ScriptedRandom generator(c.values);
        run_exercise();
        EXPECT_EQ(streams.output(), picture_text + c.labels);
        finish_run();
        EXPECT_EQ(streams.closed_output(), picture_text + c.labels) << "no farewell";
    }
}

TEST(BrowseMode, LoopShowsASymbolPerWordUntilAPeriod)
{
    const std::string prompt = "(Enter . to quit) ";
    const std::string first = picture_text + "Translation: -  On: a\nKun: a\n" + prompt;
    const std::string second = picture_text + "Translation: -  On: yu\nKun: yu\n" + prompt;
    struct Case {
        std::string input;
        std::string output;
    };
    const Case cases[] = {
        {".\n", first},
        {".x\n", first},
        {"next .\n", first + second},
        {"ka\n\n   ...and more\n", first + second},
        {"", first},                    // the end of the input ends the loop
        {"word", first + second},       // and so does the end after a last word
    };
    for (const Case& c : cases) {
        StreamCapture streams(c.input);
        browse('y');
        ScriptedRandom generator({0, 0, 0, largest});
        run_exercise();
        finish_run();
        EXPECT_EQ(streams.closed_output(), c.output) << c.input;
    }
}

TEST(BrowseMode, ALongWordIsReadWhole)
{
    // 300 characters do not overrun the word buffer and count as one word.
    StreamCapture streams(std::string(300, 'x') + " .\n");
    browse('y');
    ScriptedRandom generator({0, 0, 0, 0});
    run_exercise();
    EXPECT_EQ(generator.used(), 4u);
}

TEST(RunLifecycle, FarewellOnlyAfterATestLoop)
{
    struct Case {
        char test, loop;
        std::string output;
    };
    const Case cases[] = {
        {'y', 'y', "Have a nice day!\n"},
        {'y', 'n', ""},
        {'n', 'y', ""},
        {'n', 'n', ""},
    };
    for (const Case& c : cases) {
        StreamCapture streams;
        settings.test_mode = c.test;
        settings.loop_mode = c.loop;
        finish_run();
        EXPECT_EQ(streams.closed_output(), c.output) << c.test << c.loop;
    }
}

TEST(RunLifecycle, TheBuiltProgramRoutesItsStreams)
{
    const TemporaryDirectory files;
    const std::string& scratch = files.path();
    const std::string out = scratch + "/out";

    // -o takes pictures, labels and prompts; nothing reaches standard output.
    ProgramRun run = run_program({"-t", "-l", "-p", symbols(), "-o", out});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(read_file(out).substr(0, picture_text.size() + 13), picture_text + "Translation: ");

    // The browse loop ends at the end of the input.
    run = run_program({"-t", "-p", symbols()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.substr(run.output.size() - 18), "(Enter . to quit) ");

    // An output that cannot be written is no success.
    run = run_program({"-t", "-l", "-p", symbols(), "-o", "/dev/full"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.error, "");

    // The -i file is read for the answers.
    write_file(scratch + "/answers", "x\n.\n");
    run = run_program({"-t", "-p", symbols(), "-i", scratch + "/answers"});
    EXPECT_EQ(run.status, 0);
    size_t prompts = 0;
    for (size_t at = 0; (at = run.output.find("(Enter . to quit) ", at)) != std::string::npos; ++at)
        ++prompts;
    EXPECT_EQ(prompts, 2u);
}

// Output nobody can read any more ends the run at the first flush that
// fails, even while answers keep coming; the usage and version texts too.
TEST(RunLifecycle, ADeadOutputEndsTheRunAtOnce)
{
    const std::string p = " -p " + shell_quote(symbols());
    const TemporaryDirectory scratch;
    const std::string status_file = shell_quote(scratch.path() + "/status");
    struct Case {
        const char* name;
        std::string script;
        int status;
    };
    const Case cases[] = {
        {"full output, endless answers", "yes x | \"$RILK\"" + p + " -o /dev/full", 255},
        {"browse loop into a full output", "yes x | \"$RILK\" -t" + p + " >/dev/full", 255},
        {"closed output", "yes x | \"$RILK\" -t" + p + " >&-", 255},
        {"reader gone, no SIGPIPE",
         "trap '' PIPE; yes x | { \"$RILK\" -t" + p + "; echo $? >" + status_file +
             "; } | head -c 1 >/dev/null; exit $(cat " + status_file + ")",
         255},
        {"usage into a full output", "\"$RILK\" -h >/dev/full", 255},
        {"version with no output", "\"$RILK\" -v >&-", 255},
        {"usage for an unknown letter into a full output", "\"$RILK\" -q >/dev/full", 255},
        {"usage that is read", "\"$RILK\" -h | cat >/dev/null", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run_script(c.script), c.status) << c.name << "; -1: still running after 20 s";
}

// The same in-process for the prompts, which come before any answer is read.
TEST(RunLifecycleDeathTest, APromptThatCannotBeWrittenEndsTheRun)
{
    struct Case {
        const char* name;
        void (*ask)();
    };
    const Case cases[] = {
        {"reading", [] { quiz_reading(record_named(Hiragana, "shi.1.pbm")); }},
        {"translation", [] { quiz_translation(record_named(Kanji, "15.pbm")); }},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                StreamCapture streams("shi\n");
                settings.output = std::fopen("/dev/full", "w");
                c.ask();
                std::exit(0);
            },
            testing::ExitedWithCode(255), "^$")
            << c.name;
    }
}

}  // namespace
