#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/settings.h"
#include "catalogue/catalogue.h"
#include "control/command_line.h"
#include "control/usage.h"
#include "control/version.h"
#include "tests/test_support.h"

namespace {

// Parses the arguments in a fresh settings record (the program name first).
// The arguments outlive the parse, as a program's own do.
void parse(const std::vector<std::string>& given)
{
    static std::vector<std::string> arguments;
    arguments = given;
    settings = Settings{};
    arguments.insert(arguments.begin(), "rilk");
    std::vector<char*> argv;
    for (std::string& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    parse_command_line(static_cast<int>(arguments.size()), argv.data());
}

// The switches t l s r g G k K j of the settings, as 'y' and 'n'.
std::string switches(const Settings& from)
{
    return {from.test_mode,    from.loop_mode,     from.grey_shades,
            from.reverse,      from.use_hiragana,  from.use_hiragana2,
            from.use_katakana, from.use_katakana2, from.use_kanji};
}

const Settings defaults{};

// The usage text, byte for byte. The defaults and the switch letters it
// states are taken from the settings record and the letter table, which
// must agree with it.
std::string usage_text()
{
    auto letter = [](int i) { return std::string(1, switch_letters[i].letter); };
    auto on = [](int i) { return defaults.*switch_letters[i].field == 'y'; };
    std::string text =
        "Usage: rilk [options]\noptions:\n  -h    print this help.\n  -D    debug mode on.\n"
        "  -v    print version.\n  -p f  set path of symbol\n        directories to \"f\".\n"
        "  -s    output grey shades.\n  -r    output in reverse.\n  -i f  input file or stream.\n"
        "  -o f  output file or stream.\n  -e f  error file or stream.\n display:\n"
        "  -x x  max. output width (" + std::to_string(defaults.max_width) + ").\n"
        "  -y y  max. output height (" + std::to_string(defaults.max_height) + ").\n"
        " exercise modes:\n"
        "  -/+" + letter(0) + "  browse/test (" + (on(0) ? "test" : "browse") + ").\n"
        "  -/+" + letter(1) + "  once/loop (" + (on(1) ? "loop" : "once") + ").\n"
        " symbol sets (- off/+ on):\n";
    const char* const names[set_count] = {"hiragana", "hiragana compound", "katakana",
                                          "katakana compound", "kanji"};
    for (int set = 0; set < set_count; ++set)
        text += "  -/+" + letter(2 + set) + "  " + names[set] + " (" + (on(2 + set) ? "+" : "-") + ").\n";
    return text + "Description: Japanese symbols\n             exerciser.\n";
}

// The set letters follow the modes in set order, each switching its own set.
TEST(CommandLine, EachSetLetterSwitchesItsSet)
{
    static_assert(switch_letter_count == 2 + set_count, "two modes, then one letter per set");
    EXPECT_EQ(switch_letters[0].field, &Settings::test_mode);
    EXPECT_EQ(switch_letters[1].field, &Settings::loop_mode);
    for (int set = 0; set < set_count; ++set)
        EXPECT_EQ(switch_letters[2 + set].field, set_table[set].use) << set_table[set].name;
}

TEST(CommandLine, NoArgumentsLeaveTheDefaultsAndTheStandardStreams)
{
    parse({});
    EXPECT_EQ(switches(settings), switches(defaults));
    EXPECT_EQ(settings.max_width, defaults.max_width);
    EXPECT_EQ(settings.max_height, defaults.max_height);
    EXPECT_EQ(settings.symbol_path, defaults.symbol_path);
    EXPECT_EQ(settings.input, stdin);
    EXPECT_EQ(settings.output, stdout);
    EXPECT_EQ(settings.error, stderr);
    EXPECT_EQ(settings.input_path, nullptr);
    EXPECT_EQ(settings.glyph_stream, nullptr);
}

TEST(CommandLine, OptionsApplyLeftToRightAndLaterOnesWin)
{
    const std::string unchanged = switches(defaults);
    const int width = defaults.max_width, height = defaults.max_height;
    const std::string path = defaults.symbol_path;
    struct Case {
        std::vector<std::string> arguments;
        std::string switches;   // t l s r g G k K j
        int width, height;
        std::string symbol_path;
    };
    const Case cases[] = {
        {{"-x", "40", "-x", "10"}, unchanged, 10, height, path},
        {{set_switch('+', Hiragana), set_switch('-', Hiragana)}, "yynnnnnnn", width, height, path},
        {{"-p", "-s"}, unchanged, width, height, "-s"},   // the value, not the switch
        {{"-x", "abc", "-y", " -7z"}, unchanged, 0, -7, path},
        {{"-t", "-l", "-s", "-r", set_switch('+', Hiragana2), set_switch('+', Katakana),
          set_switch('+', Katakana2), set_switch('+', Kanji), set_switch('-', Hiragana)},
         "nnyynyyyy", width, height, path},
        {{"-t", "+t", "-l", "+l"}, unchanged, width, height, path},
        {{"-p", "", "-y", "5"}, unchanged, width, 5, ""},
    };
    for (const Case& c : cases) {
        parse(c.arguments);
        EXPECT_EQ(switches(settings), c.switches) << c.arguments[0];
        EXPECT_EQ(settings.max_width, c.width) << c.arguments[0];
        EXPECT_EQ(settings.max_height, c.height) << c.arguments[0];
        EXPECT_EQ(settings.symbol_path, c.symbol_path) << c.arguments[0];
    }
}

TEST(CommandLine, PathsAndDebugAreRecorded)
{
    parse({"-i", "in", "-o", "-out", "-e", "err", "-D"});
    EXPECT_STREQ(settings.input_path, "in");
    EXPECT_STREQ(settings.output_path, "-out");
    EXPECT_STREQ(settings.error_path, "err");
    EXPECT_EQ(settings.debug, 1);
    // Opening them is left to the start of the run.
    EXPECT_EQ(settings.input, stdin);
    EXPECT_EQ(settings.output, stdout);
}

// The built program: what each ending command line prints and its status.
TEST(CommandLine, EndingArgumentsPrintTheirTextAndEndTheRun)
{
    const std::string version_end = " Rilk " RILK_VERSION "\n";
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string output;   // "usage", "version" or literal
    };
    const Case cases[] = {
        {{"-h"}, 0, "usage"},
        {{"-h", "-v"}, 0, "usage"},
        {{"-v", "-h"}, 0, "version"},
        {{"-o", "never-written", "-h"}, 0, "usage"},
        {{"-"}, 255, "usage"},
        {{"+"}, 255, "usage"},
        {{"-xy"}, 255, "usage"},
        {{"+gk"}, 255, "usage"},
        {{"--"}, 0, "usage"},
        {{"word"}, 0, "usage"},
        {{""}, 0, "usage"},
        {{"+h"}, 0, "usage"},
        {{"+s"}, 0, "usage"},
        {{"-q"}, 0, "usage"},
        {{"-t", "-Z", "-l"}, 0, "usage"},
        {{"-p"}, 255, ""},
        {{"-t", "-x"}, 255, ""},
        {{"-y"}, 255, ""},
        {{"-i"}, 255, ""},
        {{"-o"}, 255, ""},
        {{"-e"}, 255, ""},
        {{set_switch('+', Hiragana), set_switch('-', Hiragana)}, 255, ""},
        {{"-i", "/nonexistent/answers"}, 255, ""},
        {{"-o", "/nonexistent/dir/out"}, 255, ""},
        {{"-e", "/nonexistent/dir/err"}, 255, ""},
    };
    const TemporaryDirectory scratch;
    for (const Case& c : cases) {
        const ProgramRun run = run_program(c.arguments, "", scratch.path());
        std::string expected = c.output == "usage" ? usage_text() : c.output;
        const std::string label = c.arguments[0] + (c.arguments.size() > 1 ? " " + c.arguments[1] : "");
        EXPECT_EQ(run.status, c.status) << label;
        EXPECT_EQ(run.error, "") << label;
        if (c.output == "version") {
            ASSERT_GE(run.output.size(), version_end.size());
            EXPECT_EQ(run.output.substr(run.output.size() - version_end.size()), version_end);
        } else {
            EXPECT_EQ(run.output, expected) << label;
        }
    }
    // -o names a file that the usage text never reaches.
    EXPECT_EQ(read_file(scratch.path() + "/never-written"), "");
}

TEST(CommandLine, VersionLogoIsNineLinesOf34HashesAndBlanks)
{
    const ProgramRun run = run_program({"-v"});
    const std::vector<std::string> lines = lines_of(run.output);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(run.output.back(), '\n') << "text after the last newline";
    size_t hashes = 0;
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(lines[i].size(), 34u) << "line " << i;
        EXPECT_EQ(lines[i].find_first_not_of("# "), std::string::npos) << "line " << i;
        hashes += std::count(lines[i].begin(), lines[i].end(), '#');
    }
    EXPECT_GT(hashes, 40u) << "the logo draws two kanji";
    EXPECT_EQ(lines[9], " Rilk " RILK_VERSION);
}

}  // namespace
