#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "catalogue/catalogue.h"
#include "base/settings.h"
#include "glyph/glyph.h"
#include "tests/test_support.h"

namespace {

// A stream holding exactly these bytes, at its start.
FILE* stream_of(const std::string& bytes)
{
    FILE* stream = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::rewind(stream);
    return stream;
}

TEST(GlyphHeader, ReadsTheHeaderAndStopsAtTheFirstRasterByte)
{
    struct Case {
        const char* name;
        std::string bytes;
        char magic;
        int32_t width, height;
        int next;   // the byte the raster starts with, or EOF
    };
    const Case cases[] = {
        {"comment line", "P5\n# made by hand\n48 44\n255\nR", '5', 48, 44, 'R'},
        {"bitmap has no maxval", "P4\n10 2\n7", '4', 10, 2, '7'},
        {"plain bitmap has no maxval", "P1 3 4 1", '1', 3, 4, '1'},
        {"comment right after the digit", "P1#no blank\n3 4\n0", '1', 3, 4, '0'},
        {"separators and high bytes first", " \t\r\n\x7f\x80\xffP2 5 6 255 Z", '2', 5, 6, 'Z'},
        {"comment between numbers", "P3 4 # width\n5 # height\n255\nQ", '3', 4, 5, 'Q'},
        {"stray printable counts as 0", "P6 2 x 255\nQ", '6', 2, 0, 'Q'},
        {"a second P is a number", "P3 P 4 255\nQ", '3', 0, 4, 'Q'},
        {"numbers ahead of the magic", "7 8 P5 9 Q", '5', 7, 8, 'Q'},
        {"largest width", "P5 2147483647 1 65535\nQ", '5', 2147483647, 1, 'Q'},
        {"the byte after the maxval is taken", "P5 1 1 255\n\nQ", '5', 1, 1, '\n'},
        {"the file may end right after the header", "P4 8 1", '4', 8, 1, EOF},
        {"a comment right after a number", "P2 4#w 9\n3\n255\n7", '2', 4, 3, '7'},
        {"a comment right after the maxval", "P5 4 2 255#c 9\nQ", '5', 4, 2, 'Q'},
        {"a comment right after a bitmap's height", "P4 8 1#h 9\n\n", '4', 8, 1, '\n'},
        {"only a # begins a comment there", "P5 4 2 255/c\n", '5', 4, 2, 'c'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        glyph_header = GlyphHeader{};
        FILE* stream = stream_of(c.bytes);
        read_glyph_header(stream);
        EXPECT_EQ(glyph_header.magic, c.magic);
        EXPECT_EQ(glyph_header.width, c.width);
        EXPECT_EQ(glyph_header.height, c.height);
        EXPECT_EQ(std::fgetc(stream), c.next);
        std::fclose(stream);
    }
}

TEST(GlyphHeaderDeathTest, MalformedHeadersEndTheRunSilently)
{
    const std::string cases[] = {
        "P0 1 1 255\n",
        "P7 1 1 255\n",
        "P 5 1 1 255\n",          // the digit must follow "P" directly
        "P",                      // the file ends where the digit should be
        "",
        "   \n",
        "P5 3 4",                 // ends before the maxval
        "P4 3",
        "P5 3 4 # a comment without end",
        "P5 3 4 255# a comment without end",
        "P5 2147483648 1 255\n",  // numbers beyond 32 bits
        "P2 1 99999999999 255\n",
        "P6 1 1 4294967296\n",
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes);
        EXPECT_EXIT(
            {
                FILE* stream = stream_of(bytes);
                read_glyph_header(stream);
                std::exit(0);
            },
            testing::ExitedWithCode(255), "^$");
    }
}

const SymbolRecord picture_record{"x.1.pbm", "-", "x", "-"};

TEST(OpenGlyph, JoinsPathDirectoryAndFileAsTheyStand)
{
    const TemporaryDirectory scratch;
    const std::string& directory = scratch.path();
    const std::string set_directory = directory + "/Kanji/";
    ASSERT_EQ(std::system(("mkdir " + set_directory).c_str()), 0);
    write_file(set_directory + "x.1.pbm", "P2 3 2 255\nraster");
    // With a trailing slash the path holds a doubled slash, which is the
    // same file; without one the set directory supplies it.
    for (const std::string& symbol_path : {directory + "/", directory}) {
        SCOPED_TRACE(symbol_path);
        StreamCapture capture;
        settings.symbol_path = symbol_path.c_str();
        current_set_directory = "/Kanji/";
        open_glyph(&picture_record);
        ASSERT_NE(settings.glyph_stream, nullptr);
        EXPECT_EQ(glyph_header.magic, '2');
        EXPECT_EQ(glyph_header.width, 3);
        EXPECT_EQ(glyph_header.height, 2);
        EXPECT_EQ(std::fgetc(settings.glyph_stream), 'r');
        std::fclose(settings.glyph_stream);
        settings.glyph_stream = nullptr;
        EXPECT_EQ(capture.output(), "");
        EXPECT_EQ(capture.error(), "");
    }
}

TEST(OpenGlyph, NoRecordOpensNothing)
{
    StreamCapture capture;
    settings.symbol_path = "/nonexistent-rilk-path";
    open_glyph(nullptr);
    render_glyph(nullptr);
    EXPECT_EQ(settings.glyph_stream, nullptr);
    EXPECT_EQ(capture.output(), "");
    EXPECT_EQ(capture.error(), "");
}

TEST(OpenGlyph, AMissingFileAsksForOptionP)
{
    const ProgramRun run = run_program({"-t", "-l", "-p", "/nonexistent-rilk-path"});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.error, "Try using option -p.\n");

    const TemporaryDirectory scratch;
    const std::string errors = scratch.path() + "/errors";
    const ProgramRun to_file =
        run_program({"-e", errors, "-t", "-p", "/nonexistent-rilk-path"}, ".\n");
    EXPECT_EQ(to_file.status, 255);
    EXPECT_EQ(to_file.error, "");
    EXPECT_EQ(read_file(errors), "Try using option -p.\n");
}

// A FIFO would wait for a writer, and a device such as /dev/zero would be
// read without end: only a regular file is a picture. Each case has ten
// seconds before it counts as hanging.
TEST(OpenGlyphDeathTest, APictureThatIsNoRegularFileIsRefusedAtOnce)
{
    const std::string makers[] = {"mkfifo", "mkdir", "ln -s /dev/zero", "ln -s /dev/null"};
    for (const std::string& make : makers) {
        SCOPED_TRACE(make);
        const TemporaryDirectory scratch;
        const std::string directory = scratch.path() + "/Kanji/";
        ASSERT_EQ(std::system(("mkdir " + shell_quote(directory) + " && " + make + " " +
                               shell_quote(directory + "x.1.pbm")).c_str()),
                  0);
        EXPECT_EXIT(
            {
                alarm(10);
                settings = Settings{};
                settings.error = stderr;
                settings.symbol_path = scratch.path().c_str();
                current_set_directory = "/Kanji/";
                open_glyph(&picture_record);
                std::exit(0);
            },
            testing::ExitedWithCode(255), "^Try using option -p.\n$");
    }
}

TEST(OpenGlyph, ABadMagicDigitInAPictureEndsTheRunSilently)
{
    const SymbolDirectory symbols("P9 1 1 255\n");
    const ProgramRun run = run_program({"-t", "-l", "-p", symbols.path()});
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.error, "");
}

}  // namespace
