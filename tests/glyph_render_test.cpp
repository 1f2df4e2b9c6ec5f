#include <gtest/gtest.h>

#include <cstdio>
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
#include "glyph/cells.h"
#include "glyph/glyph.h"
#include "tests/reference_render.h"
#include "tests/test_support.h"

namespace {

// A literal's bytes, zero bytes included.
template <size_t size>
std::string bytes(const char (&literal)[size])
{
    return std::string(literal, size - 1);
}

const SymbolRecord record{"x.1.pbm", "-", "x", "-"};

// Renders a picture file held in memory and returns what was printed. The
// picture must reach the output without a flush of the test's own.
std::string render(const std::string& file, const Limits& limits = {})
{
    StreamCapture capture;
    settings.max_width = limits.max_width;
    settings.max_height = limits.max_height;
    settings.grey_shades = limits.grey_shades;
    settings.reverse = limits.reverse;
    FILE* stream = std::tmpfile();
    std::fwrite(file.data(), 1, file.size(), stream);
    std::rewind(stream);
    read_glyph_header(stream);
    settings.glyph_stream = stream;
    render_glyph(&record);
    EXPECT_EQ(settings.glyph_stream, nullptr) << "the glyph file is left open";
    const std::string flushed(capture.output_data ? capture.output_data : "", capture.output_size);
    EXPECT_EQ(capture.output(), flushed) << "the picture was not flushed";
    return flushed;
}

// A fixed pseudo-random pattern for picture contents.
struct Pattern {
    uint64_t state;
    uint32_t next(uint32_t bound)
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<uint32_t>(state % bound);
    }
};

std::string header(char magic, int32_t width, int32_t height)
{
    std::string text = std::string("P") + magic + "\n" + std::to_string(width) + " "
                       + std::to_string(height) + "\n";
    return magic == '1' || magic == '4' ? text : text + "255\n";
}

// Bytes no plain reader takes for a digit.
std::string separator(Pattern& pattern, bool bits_only)
{
    static const char plain[] = " \t\r\n,x#-";
    static const char for_bits[] = " \t\r\n,x#-23456789";
    std::string text;
    const uint32_t length = 1 + pattern.next(3);
    for (uint32_t i = 0; i < length; ++i)
        text += bits_only ? for_bits[pattern.next(sizeof for_bits - 1)]
                          : plain[pattern.next(sizeof plain - 1)];
    return text;
}

// A picture file in the given format with pattern contents, and the samples
// it stands for. Raw files may be cut short at `keep` raster bytes.
std::string make_file(char magic, int32_t width, int32_t height, Pattern& pattern, Picture& picture,
                      int64_t keep = -1)
{
    picture = Picture{width, height, {}};
    std::string raster;
    const int64_t row_bytes = (width + 7) / 8;
    for (int32_t y = 0; y < height; ++y) {
        unsigned char byte = 0;
        for (int32_t x = 0; x < width; ++x) {
            switch (magic) {
            case '1': {
                const bool black = pattern.next(2);
                raster += separator(pattern, true).substr(0, pattern.next(2)) + (black ? '1' : '0');
                picture.samples.push_back(black ? 0 : 255);
                break;
            }
            case '2': {
                const uint32_t value = pattern.next(320);
                raster += std::to_string(value) + separator(pattern, false);
                picture.samples.push_back(value);
                break;
            }
            case '3': {
                uint32_t total = 0;
                for (int i = 0; i < 3; ++i) {
                    const uint32_t value = pattern.next(300);
                    raster += std::to_string(value) + separator(pattern, false);
                    total += value;
                }
                picture.samples.push_back(total / 3);
                break;
            }
            case '4': {
                const bool black = pattern.next(2);
                byte |= static_cast<unsigned char>(black << (7 - x % 8));
                picture.samples.push_back(black ? 0 : 255);
                if (x % 8 == 7 || x == width - 1) {
                    if (x % 8 != 7)   // the unused low bits hold rubbish
                        byte |= static_cast<unsigned char>(pattern.next(256) >> (x % 8 + 1));
                    raster += static_cast<char>(byte);
                    byte = 0;
                }
                break;
            }
            case '5': {
                const uint32_t value = pattern.next(256);
                raster += static_cast<char>(value);
                picture.samples.push_back(value);
                break;
            }
            case '6': {
                int total = 0;
                for (int i = 0; i < 3; ++i) {
                    const uint32_t value = pattern.next(256);
                    raster += static_cast<char>(value);
                    total += static_cast<int>(value);
                }
                picture.samples.push_back(total / 3);
                break;
            }
            }
        }
    }
    if (keep >= 0 && keep < static_cast<int64_t>(raster.size())) {
        // Bytes past the end count as -1 (P5, P6) or as all bits set (P4).
        auto byte_at = [&](int64_t i) -> int64_t {
            return i < keep ? static_cast<unsigned char>(raster[i]) : (magic == '4' ? 255 : -1);
        };
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const size_t pixel = static_cast<size_t>(y) * width + x;
                if (magic == '5')
                    picture.samples[pixel] = byte_at(static_cast<int64_t>(pixel));
                if (magic == '6')
                    picture.samples[pixel] =
                        (byte_at(3 * pixel) + byte_at(3 * pixel + 1) + byte_at(3 * pixel + 2)) / 3;
                if (magic == '4')
                    picture.samples[pixel] =
                        (byte_at(y * row_bytes + x / 8) >> (7 - x % 8)) & 1 ? 0 : 255;
            }
        }
        raster.resize(keep);
    }
    return header(magic, width, height) + raster;
}

TEST(GlyphRender, EveryFormatMatchesThePixelByPixelModel)
{
    Pattern pattern{0x9e3779b97f4a7c15u};
    const int32_t limits[] = {-2, 0, 1, 2, 3, 5, 7, 10, 22, 32, 33, 64};
    for (int round = 0; round < 400; ++round) {
        const char magic = static_cast<char>('1' + round % 6);
        const int32_t width = static_cast<int32_t>(pattern.next(round % 5 ? 70 : 5));
        const int32_t height = static_cast<int32_t>(pattern.next(round % 7 ? 70 : 4));
        Limits limit{limits[pattern.next(12)], limits[pattern.next(12)], "ny"[pattern.next(2)],
                     "ny"[pattern.next(2)]};
        // Raw files are cut short a third of the time.
        int64_t keep = -1;
        if (magic >= '4' && pattern.next(3) == 0)
            keep = pattern.next(static_cast<uint32_t>(width) * height * 3 / 2 + 1);
        Picture picture;
        const std::string file = make_file(magic, width, height, pattern, picture, keep);
        SCOPED_TRACE(testing::Message() << "P" << magic << " " << width << "x" << height << " keep "
                                        << keep << " limits " << limit.max_width << "x"
                                        << limit.max_height << limit.grey_shades << limit.reverse);
        ASSERT_EQ(render(file, limit), reference_render(picture, limit));
        // The model's own reading of the file, which the fuzz target relies
        // on, gives the samples the file was made from.
        const ReferenceHeader read = reference_header(file);
        ASSERT_TRUE(read.read);
        ASSERT_EQ(reference_samples(read.magic, read.width, read.height,
                                    file.substr(read.raster_start)).samples,
                  picture.samples);
    }
}

TEST(GlyphRender, LargeFilesReadAcrossManyBlocks)
{
    // Rows, numbers and pixels cut by the reader's block boundaries, rows
    // longer than a block, and narrow pictures with tall bands of rows.
    struct Case {
        char magic;
        int32_t width, height;
        int64_t keep;
    };
    const Case cases[] = {
        {'1', 700, 400, -1},       {'2', 600, 300, -1},       {'3', 300, 250, -1},
        {'5', 300007, 2, -1},      {'6', 100003, 3, -1},      {'6', 100003, 3, 400000},
        {'4', 1100003, 3, -1},     {'4', 1100003, 3, 200000}, {'4', 16000, 40, 50777},
        {'6', 400, 150, -1},       {'4', 4000, 300, 100000},  {'5', 3, 300000, -1},
        {'4', 3, 300000, 250000},  {'6', 3, 300000, -1},
    };
    Pattern pattern{12345};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "P" << c.magic << " " << c.width << "x" << c.height
                                        << " keep " << c.keep);
        Picture picture;
        const std::string file = make_file(c.magic, c.width, c.height, pattern, picture, c.keep);
        for (Limits limits : {Limits{32, 22, 'y', 'n'}, Limits{997, 2, 'y', 'y'}})
            ASSERT_EQ(render(file, limits), reference_render(picture, limits));
    }
}

// ---- shades

TEST(GlyphRender, ShadeThresholdsAreStrictUnderEverySwitch)
{
    // Cell averages 241 240 129 128 65 64 300 0, one pixel each.
    const std::string file = "P2 8 1 255\n241 240 129 128 65 64 300 0\n";
    // Averages 127: a row of alternating black and white pairs into cells.
    std::string alternating = "P5 64 1 255\n";
    for (int i = 0; i < 32; ++i)
        alternating += std::string("\x00\xff", 2);
    struct Case {
        char shades, reverse;
        const char* line;
        const char* at_127;
    };
    const Case cases[] = {
        {'n', 'n', " OOOOO O", "O"},
        {'y', 'n', " ..::# #", ":"},
        {'n', 'y', "O     O ", " "},
        {'y', 'y', "#::.. # ", "."},
        {'x', '+', "#::.. # ", "."},   // anything but 'n' is on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((std::string{c.shades, c.reverse}));
        EXPECT_EQ(render(file, {32, 22, c.shades, c.reverse}), std::string(c.line) + "\n");
        EXPECT_EQ(render(alternating, {32, 22, c.shades, c.reverse}),
                  std::string(32, c.at_127[0]) + "\n");
    }
}

TEST(GlyphRender, CellShadesMatchTheTruncatedAverage)
{
    auto shade_level = [](int64_t average) {
        return average > 240 ? 0 : average > 128 ? 1 : average > 64 ? 2 : 3;
    };
    // Sums at and around each threshold's multiple, of either sign and
    // within the +-2^62 that cell sums keep to, and the counts at which the
    // multiples would no longer fit.
    const int64_t bound = int64_t{1} << 62;
    for (int64_t count : {int64_t{1}, int64_t{2}, int64_t{3}, int64_t{7}, int64_t{1000},
                          INT64_MAX / 241, INT64_MAX / 241 + 1, INT64_MAX / 129 + 1,
                          INT64_MAX / 65 + 1, bound}) {
        std::vector<int64_t> sums{0, 1, -1, count, -count, bound - 1, -bound};
        for (int64_t threshold : {-65, -1, 64, 65, 128, 129, 240, 241}) {
            if (threshold >= bound / count || threshold <= -bound / count)
                continue;
            for (int64_t offset : {-1, 0, 1})
                sums.push_back(threshold * count + offset);
        }
        for (int64_t sum : sums)
            ASSERT_EQ(cell_shade_level(sum, shade_steps(count)), shade_level(sum / count))
                << sum << "/" << count;
    }
}

// ---- which pixels meet in a cell

TEST(GlyphRender, ColumnsMapByTheExactProductOfTheStoredRatio)
{
    const double two_thirds = 32.0 / 48.0;
    const int64_t expected[] = {0, 0, 1, 1, 2, 3, 3, 4, 5};
    for (int64_t column = 0; column < 9; ++column)
        EXPECT_EQ(output_column(column, two_thirds), expected[column]) << column;

    // Image columns 2 and 3 are black: exactly, both fall into cell 1 and
    // cell 2 takes only the white column 4.
    std::string file = "P5 48 1 255\n" + std::string(48, '\xff');
    file[12 + 2] = file[12 + 3] = '\0';
    EXPECT_EQ(render(file), " O" + std::string(30, ' ') + "\n");

    // Exactly 32 wide is not reduced; 33 is; 64 gives each cell two columns.
    EXPECT_EQ(render("P5 32 1 255\n" + std::string(32, '\0')), std::string(32, 'O') + "\n");
    EXPECT_EQ(render("P5 33 1 255\n" + std::string(33, '\0')), std::string(32, 'O') + "\n");
    std::vector<int64_t> runs(32);
    column_runs(64, 32, 0.5, runs.data());
    EXPECT_EQ(runs, std::vector<int64_t>(32, 2));
}

TEST(GlyphRender, ColumnRunsFollowTheMappingForEveryWidth)
{
    for (int32_t width = 1; width <= 600; width += 7) {
        for (int32_t max_width : {1, 2, 3, 7, 31, 32, 100, 599}) {
            if (max_width >= width)
                continue;
            const double ratio = static_cast<double>(max_width) / width;
            std::vector<int64_t> runs(max_width), counted(max_width);
            column_runs(width, max_width, ratio, runs.data());
            for (int64_t column = 0; column < width; ++column)
                ++counted[output_column(column, ratio)];
            ASSERT_EQ(runs, counted) << width << " -> " << max_width;
        }
    }
    // The widest picture: each run starts exactly where the mapping moves on.
    for (int32_t max_width : {1, 22, 32, 1000, 65521}) {
        const int32_t width = 2147483647;
        const double ratio = static_cast<double>(max_width) / width;
        std::vector<int64_t> runs(max_width);
        column_runs(width, max_width, ratio, runs.data());
        int64_t begin = 0;
        for (int32_t k = 0; k < max_width; ++k) {
            ASSERT_GT(runs[k], 0);
            ASSERT_EQ(output_column(begin, ratio), k);
            if (begin > 0) {
                ASSERT_EQ(output_column(begin - 1, ratio), k - 1);
            }
            begin += runs[k];
        }
        ASSERT_EQ(begin, width);
        ASSERT_EQ(output_column(width - 1, ratio), max_width - 1);
    }
}

// Line bands counted row by row.
int64_t lines_row_by_row(double ratio, int64_t rows, std::vector<int64_t>* bands = nullptr)
{
    double accumulator = 0.0;
    int64_t lines = 0, band = 0;
    for (int64_t row = 0; row < rows; ++row) {
        ++band;
        accumulator += ratio;
        if (accumulator >= 1.0) {
            ++lines;
            if (bands)
                bands->push_back(band);
            band = 0;
            accumulator -= 1.0;
        }
    }
    return lines;
}

TEST(GlyphRender, LineBandsFollowTheDoubleAccumulator)
{
    std::vector<int64_t> bands;
    EXPECT_EQ(lines_row_by_row(22.0 / 48, 48, &bands), 21);
    const std::vector<int64_t> expected_bands{3, 2, 2, 2, 2, 3, 2, 2, 2, 2, 3,
                                          2, 2, 2, 2, 2, 3, 2, 2, 2, 2};
    EXPECT_EQ(bands, expected_bands);
    EXPECT_EQ(lines_of(render("P5 1 48 255\n" + std::string(48, '\0'))).size(), 21u);
    EXPECT_EQ(lines_of(render("P5 1 64 255\n" + std::string(64, '\0'))).size(), 22u);
    EXPECT_EQ(lines_of(render("P5 1 22 255\n" + std::string(22, '\0'))).size(), 22u);
    EXPECT_EQ(lines_of(render("P5 1 23 255\n" + std::string(23, '\0'))).size(), 22u);
    // A picture within the limits prints one character per pixel.
    const std::vector<std::string> small =
        lines_of(render("P5 20 10 255\n" + std::string(200, '\0')));
    EXPECT_EQ(small, std::vector<std::string>(10, std::string(20, 'O')));
}

TEST(GlyphRender, WholeBandsAdvanceExactlyAsRowByRow)
{
    struct Case {
        int32_t lines, rows;
    };
    const Case cases[] = {{22, 48},        {22, 64},      {22, 1000003},   {1, 3000001},
                          {7, 2999999},    {22, 2097151}, {32, 4194304},   {3, 1000},
                          {22, 23},        {1, 2},        {999, 1000},     {5, 10000019}};
    for (const Case& c : cases) {
        const double ratio = static_cast<double>(c.lines) / c.rows;
        std::vector<int64_t> expected;
        lines_row_by_row(ratio, c.rows, &expected);
        std::vector<int64_t> bands;
        double accumulator = 0.0;
        int64_t left = c.rows;
        while (left > 0) {
            bool line = false;
            const int64_t taken = advance_lines(accumulator, ratio, left, line);
            ASSERT_GT(taken, 0);
            left -= taken;
            if (line) {
                bands.push_back(taken);
                accumulator -= 1.0;
            }
        }
        EXPECT_EQ(bands, expected) << c.lines << "/" << c.rows;
        // Stopping short of a line leaves the accumulator where rows would.
        double stepped = 0.0, jumped = 0.0;
        for (int i = 0; i < c.rows / 3 && i < 1000000; ++i)
            stepped += ratio;
        bool line = true;
        advance_lines(jumped, ratio, std::min<int64_t>(c.rows / 3, 1000000), line);
        if (stepped < 1.0) {
            EXPECT_FALSE(line);
            EXPECT_EQ(jumped, stepped) << c.lines << "/" << c.rows;
        }
    }
}

// ---- the six formats

TEST(GlyphRender, EachFormatTakesItsSamplesItsOwnWay)
{
    struct Case {
        const char* name;
        std::string file;
        std::string printed;
        Limits limits;
    };
    const Case cases[] = {
        {"P1 digits in any layout", "P1 3 2\n1\n0 1\r\n\nx 0 a1 1", "O O\n OO\n", {}},
        {"P2 numbers among any bytes", "P2 2 2 255\n0,255\n-300#9x", "O \n O\n", {}},
        {"P3 pixel 255 255 0 is 170", "P3 1 1 255\n255 255 0\n", ".\n", {32, 22, 'y', 'n'}},
        {"P4 row of 10 takes two bytes", bytes("P4 10 2\n\x80\x7f\x00\xc0"),
         "O        O\n        OO\n", {}},
        {"P5 ignores the maxval", "P5 2 1 1\n\xff\x01", " O\n", {}},
        {"P6 averages three bytes", bytes("P6 2 1 255\n\xff\xff\x00\xff\xff\xf0"), ". \n",
         {32, 22, 'y', 'n'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(render(c.file, c.limits), c.printed);
    }
}

// ---- the end of the file, limits, arithmetic and sizes

TEST(GlyphRender, MissingSamplesCountAsMinusOneOrBlack)
{
    struct Case {
        const char* name;
        std::string file;
        std::string printed;
        int32_t max_width = 32;
    };
    // With shades: -1 is "#", 128 is ":", 129 is ".".
    const Case cases[] = {
        {"P1 ends early", "P1 2 2\n0 1 0", " #\n #\n"},
        {"P2 ends inside a number", "P2 3 1 255\n255 25", " ##\n"},
        {"P2 ends before the raster", "P2 2 1 255\n", "##\n"},
        {"P3 pixel misses its blue", "P3 2 1 255\n255 132", ":#\n"},
        {"P5 ends early", "P5 2 2 255\n\xff\xff\xff", "  \n #\n"},
        {"P6 pixel misses its blue", "P6 2 1 255\n\xff\x84", ":#\n"},
        {"P4 bytes past the end are black", bytes("P4 3 3\n\x00"), "   \n###\n###\n"},
        // A row longer than the reader's buffer, in one cell: the 560,000
        // white pixels read before the end average 129 with the black rest.
        {"P4 long row ends before its last piece", "P4 1100000 1\n" + std::string(70000, '\0'),
         ".\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(render(c.file, {c.max_width, 22, 'y', 'n'}), c.printed);
    }
}

TEST(GlyphRender, LimitsBelowOneCountAsOne)
{
    const std::string file = "P5 4 4 255\n" + std::string(16, '\0');
    for (Limits limits : {Limits{0, 0}, Limits{-5, 1}, Limits{1, -2147483647 - 1}})
        EXPECT_EQ(render(file, limits), "O\n");
}

TEST(GlyphRender, CellSumsDoNotOverflow)
{
    // Two samples of two thousand million in one cell average white.
    EXPECT_EQ(render("P2 2 1 255\n2000000000 2000000000\n", {1, 22}), " \n");
    EXPECT_EQ(render("P2 2 2 255\n2147483647 2147483647 2147483647 2147483647\n", {1, 1}), " \n");
    // Numbers beyond 32 bits stay white rather than wrapping round.
    EXPECT_EQ(render("P2 1 1 255\n99999999999999999999\n"), " \n");
    EXPECT_EQ(render("P3 1 1 255\n99999999999 99999999999 99999999999\n"), " \n");
}

std::string repeated_line(const std::string& line, int64_t times)
{
    std::string text;
    for (int64_t i = 0; i < times; ++i)
        text += line + "\n";
    return text;
}

TEST(GlyphRender, EmptyPicturesPrintOnlyWhatTheirRowsGive)
{
    EXPECT_EQ(render("P5 10 0 255\n"), "");
    EXPECT_EQ(render("P1 0 3\n"), "\n\n\n");
    EXPECT_EQ(render("P1 0 300\n"), repeated_line("", lines_row_by_row(22.0 / 300, 300)));
}

TEST(GlyphRender, HugePicturesInTinyFilesFinishWithTheExactOutput)
{
    // Far too many pixels to read one by one; every one past the end is -1.
    const int64_t rows = 10000003;
    const std::string file =
        "P5 2147483647 " + std::to_string(rows) + " 255\n" + std::string(20, '\xff');
    const int64_t line_count = lines_row_by_row(22.0 / rows, rows);
    EXPECT_EQ(render(file), repeated_line(std::string(32, 'O'), line_count));
    EXPECT_EQ(render(file, {32, 22, 'n', 'y'}), repeated_line(std::string(32, ' '), line_count));

    // The largest picture there can be, all black past its 20 bytes.
    const std::vector<std::string> lines =
        lines_of(render("P4 2147483647 2147483647\n" + std::string(20, '\0')));
    ASSERT_TRUE(lines.size() == 21 || lines.size() == 22) << lines.size();
    for (const std::string& line : lines)
        EXPECT_EQ(line, std::string(32, 'O'));
    // Rows without pixels need no bytes at all.
    const std::vector<std::string> empty = lines_of(render("P1 0 2147483647\n"));
    EXPECT_EQ(empty.size(), lines.size());
    EXPECT_EQ(empty[0], "");
}

// ---- browse mode shows the picture above the labels

TEST(GlyphBrowse, ShowsTheKnownPictureAboveItsLabels)
{
    const std::string picture = "P1\n# a small cross\n5 3\n00100\n11111\n00100\n";
    const std::string drawn = "  O  \nOOOOO\n  O  \n";
    const SymbolDirectory symbols(picture);
    const std::string& directory = symbols.path();
    {
        StreamCapture capture;
        settings.symbol_path = directory.c_str();
        ScriptedRandom generator{0, 0};   // Hiragana, its first row: a.1.pbm
        show_symbol();
        EXPECT_EQ(capture.output(), drawn + "Translation: -  On: a\nKun: a\n");
        EXPECT_EQ(capture.error(), "");
        EXPECT_EQ(settings.glyph_stream, nullptr);
    }
    const ProgramRun run = run_program({"-t", "-l", "-s", "-p", directory + "/"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.substr(0, drawn.size() + 13), "  #  \n#####\n  #  \nTranslation: ");
    EXPECT_EQ(run.error, "");
}

}  // namespace
