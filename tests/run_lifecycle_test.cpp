#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "control/command_line.h"
#include "control/guard_process.h"
#include "control/open_streams.h"
#include "control/run.h"
#include "control/test_driver.h"
#include "control/usage.h"
#include "base/settings.h"
#include "quiz/alignment.h"
#include "quiz/ask.h"
#include "quiz/plain_text.h"
#include "quiz/quiz.h"
#include "quiz/read_word.h"
#include "quiz/words.h"
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
    const std::string prompt = std::string(quit_hint) + " ";
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
    const std::string prompt = std::string(quit_hint) + " ";
    EXPECT_EQ(run.output.substr(run.output.size() - prompt.size()), prompt);

    // An output that cannot be written is no success.
    run = run_program({"-t", "-l", "-p", symbols(), "-o", "/dev/full"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.error, "");

    // The -i file is read for the answers.
    write_file(scratch + "/answers", "x\n.\n");
    run = run_program({"-t", "-p", symbols(), "-i", scratch + "/answers"});
    EXPECT_EQ(run.status, 0);
    size_t prompts = 0;
    for (size_t at = 0; (at = run.output.find(prompt, at)) != std::string::npos; ++at)
        ++prompts;
    EXPECT_EQ(prompts, 2u);
}

// Output nobody can read any more ends the run at the first flush that
// fails, even while answers keep coming; the usage and version texts too.
TEST(RunLifecycle, ADeadOutputEndsTheRunAtOnce)
{
    const std::string p = " -p " + shell_quote(symbols());
    struct Case {
        const char* name;
        std::string script;
        int status;
    };
    const Case cases[] = {
        {"full output, endless answers", "yes x | \"$RILK\"" + p + " -o /dev/full", 255},
        {"browse loop into a full output", "yes x | \"$RILK\" -t" + p + " >/dev/full", 255},
        {"closed output", "yes x | \"$RILK\" -t" + p + " >&-", 255},
        {"usage into a full output", "\"$RILK\" -h >/dev/full", 255},
        {"version with no output", "\"$RILK\" -v >&-", 255},
        {"usage for an unknown letter into a full output", "\"$RILK\" -q >/dev/full", 255},
        {"usage that is read", "\"$RILK\" -h | cat >/dev/null", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run_script(c.script), c.status) << c.name << "; -1: still running after 20 s";
}

// Outputs never write over the answers or a picture, a missing standard
// stream captures no other, and a broken pipe, a file-size limit or a read
// error is a failure, not a signal or the end of the input. Each script
// exits 99 when the files show the fault.
TEST(RunLifecycle, NothingIsLostAndNoFailureLooksLikeSuccess)
{
    // The dispositions a shell gives a program it starts.
    std::signal(SIGPIPE, SIG_DFL);
    std::signal(SIGXFSZ, SIG_DFL);
    const SymbolDirectory pictures(picture);
    const std::string setup = "P=" + shell_quote(pictures.path())
                              + "; kept() { [ \"$(cat \"$1\")\" = \"$2\" ] || exit 99; }; ";
    const std::string run = "\"$RILK\" -p \"$P\" ";
    const std::string intact = "kept \"$P/Hiragana/a.1.pbm\" \"$(cat \"$P/Hiragana/i.1.pbm\")\"";
    // The run answers from a FIFO; once it has printed its first prompt into
    // f, the pictures go and its next question can only fail.
    const auto picture_then_failure = [&](const std::string& options) {
        return "mkfifo in; " + run + "-t -i in " + options + " & exec 3>in; "
               "until grep -q quit f 2>/dev/null; do sleep 0.05; done; "
               "mv \"$P/Hiragana\" \"$P/gone\"; echo x >&3; wait $!; s=$?; "
               "mv \"$P/gone\" \"$P/Hiragana\"; [ \"$(head -n 1 f)\" = \"O O\" ] && "
               "[ \"$(tail -c 21 f)\" = \"Try using option -p.\" ] || exit 99";
    };
    // These exit 77 where the case cannot be set up. Root lists any
    // directory, unless it gives up the capabilities to override permissions.
    const std::string unlistable =
        "as=; [ \"$(id -u)\" != 0 ] || "
        "as='setpriv --bounding-set=-dac_override,-dac_read_search'; "
        "chmod 311 \"$P/Hiragana\"; if $as ls \"$P/Hiragana\" >/dev/null 2>&1 || "
        "! $as test -r \"$P/Hiragana/a.1.pbm\"; then chmod 755 \"$P/Hiragana\"; exit 77; fi; "
        "echo . | $as " + run + "-o \"$P/Hiragana/a.1.pbm\"; "
        "s=$?; chmod 755 \"$P/Hiragana\"; (" + intact + ") || "
        "{ cp \"$P/Hiragana/i.1.pbm\" \"$P/Hiragana/a.1.pbm\"; exit 99; }";
    const std::string mounted =
        "for u in 'unshare -m' 'unshare -rm' ''; do [ -n \"$u\" ] && $u true 2>/dev/null && "
        "break; done; [ -n \"$u\" ] || exit 77; echo kept >other; "
        "$u sh -c 'mount --bind other \"$1\" 2>/dev/null || exit 77; "
        "\"$RILK\" -p \"$2\" -o \"$1\" </dev/null' - \"$P/Hiragana/i.1.pbm\" \"$P\"; "
        "s=$?; [ $s != 77 ] || exit 77; kept other kept";
    struct Case {
        const char* name;
        std::string script;
        int status;
    };
    const Case cases[] = {
        {"-o a picture", run + "-t -l -o \"$P/Hiragana/a.1.pbm\"; s=$?; " + intact, 255},
        {"-o a picture in a set directory that cannot be listed", unlistable, 255},
        {"-o a picture that a bind mount covers", mounted, 255},
        {"-e a hard link to a picture",
         "ln \"$P/Hiragana/a.1.pbm\" link; " + run + "-t -l -e link; s=$?; " + intact, 255},
        {"-o the input", "echo . >ans; " + run + "-i ans -o ans; s=$?; kept ans .", 255},
        {"-e the input", "echo . >ans; " + run + "-i ans -e ans; s=$?; kept ans .", 255},
        {"-o the standard input", "echo . >ans; " + run + "-o ans <ans; s=$?; kept ans .", 255},
        {"-o an older, longer file",
         "head -c 5000 /dev/zero | tr '\\000' @ >out; " + run + "-t -l -o out; s=$?; "
         "! grep -q @ out || exit 99", 0},
        {"-e refused before -o is created",
         run + "-o new -e \"$P/Kanji/1.pbm\"; s=$?; [ ! -e new ] || exit 99", 255},
        {"-o the input pipe", "yes ka | " + run + "-o /dev/stdin; s=$?", 255},
        {"-o the input FIFO", "mkfifo f; " + run + "-i f -o f & exec 3>f; wait $!; s=$?", 255},
        {"-o /dev/null as the input too", run + "-o /dev/stdin </dev/null; s=$?", 0},
        {"-o and -e one file, one stream", picture_then_failure("-o f -e f"), 255},
        {"-o the file of standard error, one stream", picture_then_failure("-o f 2>f"), 255},
        {"-o /dev/stderr, one stream", picture_then_failure("-o /dev/stderr 2>f"), 255},
        {"reader gone",
         "yes ka | { " + run + "; echo $? >s; } | head -c 1 >/dev/null; s=$(cat s)", 255},
        {"file-size limit", "ulimit -f 1; yes ka | " + run + "-o out; s=$?", 255},
        {"no standard output, -e",
         "yes ka | head -n 100 | " + run + "-e err >&-; s=$?; kept err ''", 255},
        {"no standard error, -o", "\"$RILK\" -p none -o out 2>&-; s=$?; kept out ''", 255},
        {"no standard input, -o",
         run + "-o out <&-; s=$?; [ \"$(tail -c 9 out)\" = 'Reading? ' ] || exit 99", 255},
        {"no standard output, -o /dev/stdout", run + "-o /dev/stdout >&-; s=$?", 255},
        {"no standard output, -o /dev/fd/1", run + "-t -l -o /dev/fd/1 >&-; s=$?", 255},
        {"no standard output, -o /dev/null", run + "-t -l -o /dev/null >&-; s=$?", 0},
        {"no standard input, -i /dev/stdin", run + "-i /dev/stdin <&- >out; s=$?; kept out ''",
         255},
        {"no standard output, -i /dev/stdout", run + "-i /dev/stdout >&-; s=$?", 255},
        {"directory as -i", run + "-i . >out; s=$?; kept out ''", 255},
        {"read error on standard input", run + "<. >/dev/null; s=$?", 255},
        {"over-long word starting with a zero byte",
         "{ printf '\\000'; head -c 299 /dev/zero | tr '\\000' y; echo; echo .; } | " + run +
             "-t >out; s=$?; [ $(grep -o quit out | wc -l) = 2 ] || exit 99",
         0},
    };
    std::string not_run;
    for (const Case& c : cases) {
        const TemporaryDirectory scratch;
        const std::string script =
            "cd " + shell_quote(scratch.path()) + " && " + setup + c.script + "; exit $s";
        const int status = run_script(script);
        if (status == 77)
            not_run += std::string("\n  ") + c.name;
        else
            EXPECT_EQ(status, c.status)
                << c.name << "; 99: files lost or mixed, -1: still running after 20 s";
    }
    if (!not_run.empty())
        GTEST_SKIP() << "no way to drop the right to list any directory, or no mount "
                        "namespace, to be had here for:"
                     << not_run;
}

// Each row's picture shows the row's number in eleven pixels, so that the
// pictures a run prints tell which rows it drew.
std::string row_picture(int row)
{
    std::string bits;
    for (int bit = 10; bit >= 0; --bit)
        bits += row >> bit & 1 ? "1 " : "0 ";
    return "P1 11 1\n" + bits + "\n";
}

std::time_t fixed_second;

// A browse loop over all five sets from the command line to the end, as the
// program runs it, started in this second; twenty symbols, then ".". The
// set sizes start unfixed, as they do in the program. Gives the symbols
// shown, one text each.
std::vector<std::string> symbols_shown(std::time_t second, const std::string& directory)
{
    std::string words;
    for (int i = 0; i < 20; ++i)
        words += "x\n";
    StreamCapture streams(words + ".\n");
    std::fill(std::begin(set_sizes), std::end(set_sizes), 0);
    fixed_second = second;
    clock_source = [](std::time_t*) { return fixed_second; };
    std::vector<std::string> arguments = {"rilk", "-t", "-p", directory};
    for (int set = Hiragana2; set <= set_count; ++set)
        arguments.push_back(set_switch('+', static_cast<SymbolSet>(set)));
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    parse_command_line(static_cast<int>(argv.size()), argv.data());
    prepare_run();
    run_exercise();
    finish_run();
    clock_source = &std::time;
    std::vector<std::string> shown;
    const std::string text = streams.closed_output(), prompt = std::string(quit_hint) + " ";
    for (size_t at = 0, end; (end = text.find(prompt, at)) != std::string::npos; at = end + prompt.size())
        shown.push_back(text.substr(at, end - at));
    return shown;
}

TEST(RunLifecycle, RunsDrawManyRowsSeededByTheSecondTheyStart)
{
    const SymbolDirectory pictures(row_picture);
    const std::vector<std::string> run = symbols_shown(1000000000, pictures.path());
    ASSERT_EQ(run.size(), 21u);
    EXPECT_GT(std::set<std::string>(run.begin(), run.end()).size(), 10u)
        << "the rows drawn hardly vary: " << run[0] << run[1];
    EXPECT_EQ(symbols_shown(1000000000, pictures.path()), run) << "the same second, other symbols";
    EXPECT_NE(symbols_shown(1000000001, pictures.path()), run) << "the next second, the same symbols";
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
