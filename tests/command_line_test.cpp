#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/settings.h"
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

const char usage_text[] =
    "Usage: rilk [options]\noptions:\n  -h    print this help.\n  -D    debug mode on.\n"
    "  -v    print version.\n  -p f  set path of symbol\n        directories to \"f\".\n"
    "  -s    output grey shades.\n  -r    output in reverse.\n  -i f  input file or stream.\n"
    "  -o f  output file or stream.\n  -e f  error file or stream.\n display:\n"
    "  -x x  max. output width (32).\n  -y y  max. output height (22).\n exercise modes:\n"
    "  -/+t  browse/test (test).\n  -/+l  once/loop (loop).\n symbol sets (- off/+ on):\n"
    "  -/+g  hiragana (+).\n  -/+G  hiragana compound (-).\n  -/+k  katakana (-).\n"
    "  -/+K  katakana compound (-).\n  -/+j  kanji (-).\nDescription: Japanese symbols\n"
    "             exerciser.\n";

TEST(CommandLine, DefaultsAreAHiraganaTestLoop)
{
    parse({});
    EXPECT_EQ(settings.max_width, 32);
    EXPECT_EQ(settings.max_height, 22);
    EXPECT_STREQ(settings.symbol_path, "/usr/local/rilk/");
    EXPECT_EQ(settings.input, stdin);
    EXPECT_EQ(settings.output, stdout);
    EXPECT_EQ(settings.error, stderr);
    EXPECT_EQ(settings.input_path, nullptr);
    EXPECT_EQ(settings.glyph_stream, nullptr);
    EXPECT_EQ(settings.debug, 0);
    const std::string switches{settings.test_mode, settings.loop_mode, settings.grey_shades,
                               settings.reverse, settings.use_hiragana, settings.use_hiragana2,
                               settings.use_katakana, settings.use_katakana2, settings.use_kanji};
    EXPECT_EQ(switches, "yynnynnnn");
}

TEST(CommandLine, OptionsApplyLeftToRightAndLaterOnesWin)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string switches;   // t l s r g G k K j
        int width, height;
        std::string symbol_path;
    };
    const Case cases[] = {
        {{"-x", "40", "-x", "10"}, "yynnynnnn", 10, 22, "/usr/local/rilk/"},
        {{"+g", "-g"}, "yynnnnnnn", 32, 22, "/usr/local/rilk/"},
        {{"-p", "-s"}, "yynnynnnn", 32, 22, "-s"},   // the value, not the switch
        {{"-x", "abc", "-y", " -7z"}, "yynnynnnn", 0, -7, "/usr/local/rilk/"},
        {{"-t", "-l", "-s", "-r", "+G", "+k", "+K", "+j", "-g"}, "nnyynyyyy", 32, 22, "/usr/local/rilk/"},
        {{"-t", "+t", "-l", "+l"}, "yynnynnnn", 32, 22, "/usr/local/rilk/"},
        {{"-p", "", "-y", "5"}, "yynnynnnn", 32, 5, ""},
    };
    for (const Case& c : cases) {
        parse(c.arguments);
        const std::string switches{settings.test_mode, settings.loop_mode, settings.grey_shades,
                                   settings.reverse, settings.use_hiragana, settings.use_hiragana2,
                                   settings.use_katakana, settings.use_katakana2, settings.use_kanji};
        EXPECT_EQ(switches, c.switches) << c.arguments[0];
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
        {{"+g", "-g"}, 255, ""},
        {{"-i", "/nonexistent/answers"}, 255, ""},
        {{"-o", "/nonexistent/dir/out"}, 255, ""},
        {{"-e", "/nonexistent/dir/err"}, 255, ""},
    };
    const TemporaryDirectory scratch;
    for (const Case& c : cases) {
        const ProgramRun run = run_program(c.arguments, "", scratch.path());
        std::string expected = c.output == "usage" ? std::string(usage_text) : c.output;
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
