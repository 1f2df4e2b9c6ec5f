// The bundled pictures under glyphs/: one for every catalogue row, each a
// raw bitmap the program reads and prints well at its default limits, and
// each what the picture generator draws from the typefaces.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/characters.h"
#include "control/settings.h"
#include "glyph/glyph.h"
#include "tests/test_support.h"
#include "tools/typefaces.h"

namespace {

using Row = CatalogueRow;

const SetInfo& set_of(const Row& r) { return set_table[r.set_number - 1]; }
const char* file_of(const Row& r) { return symbol_table[r.row].image_file; }
std::string name_of(const Row& r) { return std::string(set_of(r).name) + "/" + file_of(r); }

bool exists(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

const std::string glyphs_path = source_path("glyphs");

// What the program prints for a row's picture, through its own reader;
// nothing for a missing picture, which the reader would end the run for.
std::string printed(const Row& r, char grey_shades = 'n')
{
    if (!exists(glyphs_path + set_of(r).directory + file_of(r)))
        return "";
    StreamCapture capture;
    settings.symbol_path = glyphs_path.c_str();
    settings.grey_shades = grey_shades;
    current_set_directory = set_of(r).directory;
    open_glyph(&symbol_table[r.row]);
    render_glyph(&symbol_table[r.row]);
    return capture.output();
}

TEST(GlyphFiles, EveryRowHasARawBitmapWithInk)
{
    for (const Row& r : catalogue_rows()) {
        const std::string path = glyphs_path + set_of(r).directory + file_of(r);
        if (!exists(path)) {
            ADD_FAILURE() << name_of(r) << " is missing";
            continue;
        }
        const std::string file = read_file(path);
        int width = 0, height = 0, header = 0;
        ASSERT_EQ(std::sscanf(file.c_str(), "P4\n%d %d\n%n", &width, &height, &header), 2)
            << name_of(r) << " is no raw bitmap";
        ASSERT_GT(header, 0) << name_of(r);
        EXPECT_EQ(file.size(), size_t(header) + size_t((width + 7) / 8) * height)
            << name_of(r) << ": the raster does not match " << width << " x " << height;
        EXPECT_NE(file.find_first_not_of('\0', header), std::string::npos)
            << name_of(r) << " has no ink";
    }
}

// At the default limits every picture prints as a full block of lines of
// equal width within 32 x 22, and its ink spans at least 60% of the block
// across or down.
TEST(GlyphFiles, EveryPicturePrintsWithinTheLimitsFillingItsBlock)
{
    for (const Row& r : catalogue_rows()) {
        const std::vector<std::string> lines = lines_of(printed(r));
        ASSERT_FALSE(lines.empty()) << name_of(r);
        EXPECT_LE(lines.size(), 22u) << name_of(r);
        int top = -1, bottom = -1, left = 32, right = -1;
        for (size_t y = 0; y < lines.size(); ++y) {
            EXPECT_EQ(lines[y].size(), lines[0].size()) << name_of(r) << " line " << y;
            EXPECT_LE(lines[y].size(), 32u) << name_of(r) << " line " << y;
            const size_t first = lines[y].find('O'), last = lines[y].rfind('O');
            if (first == std::string::npos)
                continue;
            top = top < 0 ? int(y) : top;
            bottom = int(y);
            left = std::min(left, int(first));
            right = std::max(right, int(last));
        }
        ASSERT_GE(top, 0) << name_of(r) << " prints no ink";
        const double across = (right - left + 1) / 32.0, down = (bottom - top + 1) / 22.0;
        EXPECT_GE(std::max(across, down), 0.6)
            << name_of(r) << ": ink spans " << right - left + 1 << " columns, "
            << bottom - top + 1 << " lines";
    }
}

// The strokes are solid rather than a grey haze: with shades, at least a
// quarter of the cells with ink print the darkest shade.
TEST(GlyphFiles, StrokesStaySolidWithShades)
{
    for (const Row& r : catalogue_rows()) {
        size_t ink = 0, solid = 0;
        for (char c : printed(r, 'y')) {
            ink += c != ' ' && c != '\n';
            solid += c == '#';
        }
        EXPECT_GE(4 * solid, ink) << name_of(r) << ": " << solid << " of " << ink << " cells";
    }
}

// Within a set, pictures drawn by one typeface never print the same for two
// different characters.
TEST(GlyphFiles, DifferentCharactersPrintDifferentlyInOneSetAndTypeface)
{
    std::map<std::pair<int, int>, std::map<std::string, Row>> seen;
    for (const Row& r : catalogue_rows()) {
        const int face = typeface_for(r.set_number, file_of(r));
        auto& texts = seen[{r.set_number, face}];
        const std::string text = printed(r);
        const auto earlier = texts.find(text);
        if (earlier == texts.end()) {
            texts.emplace(text, r);
        } else {
            EXPECT_STREQ(symbol_characters[earlier->second.row], symbol_characters[r.row])
                << name_of(r) << " prints as " << name_of(earlier->second);
        }
    }
}

// Drawing numbers are typefaces: a second drawing of a kanji, and every
// drawing of a syllable, comes from a face of its own, and ".bold" rows from
// the bold face.
TEST(GlyphFiles, DrawingsOfOneSymbolComeFromDifferentTypefaces)
{
    const struct {
        int set_number;
        const char* file;
        int face;
    } cases[] = {
        {Hiragana, "a.1.pbm", 0},         {Hiragana, "ka.8.pbm", 7},
        {Katakana, "wo.5.pbm", 4},        {Hiragana2, "ji.4.pbm", 3},
        {Kanji, "12.pbm", grid_typeface}, {Kanji, "12.2.pbm", 1},
        {Kanji, "hi2.pbm", named_typeface}, {Kanji, "kawa2.bold.pbm", bold_typeface},
        {Kanji, "gets.pbm", named_typeface},           {Kanji, "tski.pbm", second_name_typeface},
        {Kanji, "toshi.bold.pbm", bold_typeface},
    };
    for (const auto& c : cases)
        EXPECT_EQ(typeface_for(c.set_number, c.file), c.face) << c.file;

    std::map<std::string, int> syllable_faces;
    for (const Row& r : catalogue_rows()) {
        const std::string file = file_of(r);
        const std::string stem = name_of(r).substr(0, name_of(r).find('.'));
        const int face = typeface_for(r.set_number, file_of(r));
        if (r.set_number != Kanji) {
            // Drawings of one syllable stand together, in ascending number.
            const auto last = syllable_faces.find(stem);
            if (last != syllable_faces.end()) {
                EXPECT_GT(face, last->second) << name_of(r);
            }
            syllable_faces[stem] = face;
        } else if (file.size() > 6 && file.compare(file.size() - 6, 6, ".2.pbm") == 0) {
            const Row first = {r.set_number, r.row - 1};
            EXPECT_NE(face, typeface_for(Kanji, file_of(first))) << name_of(r);
            EXPECT_NE(read_file(glyphs_path + "/Kanji/" + file),
                      read_file(glyphs_path + "/Kanji/" + file_of(first)))
                << name_of(r);
        }
    }
}

// A learner who meets one kanji under several rows meets it in as many
// hands: no two rows share a file's bytes.
TEST(GlyphFiles, NoTwoRowsHaveTheSamePicture)
{
    std::map<std::string, std::string> first_row_of;
    for (const Row& r : catalogue_rows()) {
        const auto seen =
            first_row_of.emplace(read_file(glyphs_path + set_of(r).directory + file_of(r)), name_of(r));
        EXPECT_TRUE(seen.second) << name_of(r) << " is the same picture as " << seen.first->second;
    }
}

// The generator, when it was built and the typefaces are installed, draws
// exactly the committed pictures.
TEST(GlyphFiles, GeneratorDrawsTheCommittedPictures)
{
    std::string tool = RILK_BINARY;
    tool = tool.substr(0, tool.rfind('/') + 1) + "render_glyphs";
    if (!exists(tool))
        GTEST_SKIP() << "the picture generator was not built (FreeType missing)";
    for (const Typeface& face : typefaces)
        if (!exists(face.file))
            GTEST_SKIP() << "typeface " << face.name << " is not installed (" << face.file << ")";
    const std::vector<std::string> names = {
        "Hiragana/a.1.pbm",  "Hiragana/ka.3.pbm",   "Hiragana/wo.7.pbm", "Hiragana2/kya.1.pbm",
        "Hiragana2/ji.2.pbm", "Katakana/n.4.pbm",    "Katakana2/vu.1.pbm", "Kanji/1.pbm",
        "Kanji/1.2.pbm",     "Kanji/toshi2.bold.pbm", "Kanji/zo.pbm",   "Kanji/tski.pbm",
    };
    const TemporaryDirectory scratch;
    const std::string& out = scratch.path();
    std::string command = "'" + tool + "' -o '" + out + "'";
    for (const std::string& name : names)
        command += " " + name;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const std::string& name : names)
        EXPECT_EQ(read_file(out + "/" + name), read_file(glyphs_path + "/" + name)) << name;
}

}  // namespace
