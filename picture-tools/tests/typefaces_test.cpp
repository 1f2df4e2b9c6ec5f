// Which typeface draws which picture, and the generator's output against the
// committed pictures under glyphs/.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/characters.h"
#include "picture-tools/draw_row.h"
#include "picture-tools/typefaces.h"

namespace {

using Row = CatalogueRow;

const SetInfo& set_of(const Row& r) { return set_table[r.set_number - 1]; }
const char* file_of(const Row& r) { return symbol_table[r.row].image_file; }
std::string name_of(const Row& r) { return std::string(set_of(r).name) + "/" + file_of(r); }

const std::string glyphs_path = std::string(RILK_SOURCE_DIR) + "/glyphs";

bool exists(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0;
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Within a set, pictures drawn by one typeface never hold the same bitmap
// for two different characters (the program prints a default picture one
// cell per pixel, so equal files are equal screens).
TEST(Typefaces, DifferentCharactersDrawDifferentlyInOneSetAndTypeface)
{
    std::map<std::pair<int, int>, std::map<std::string, Row>> seen;
    for (const Row& r : catalogue_rows()) {
        const int face = typeface_for(r.set_number, file_of(r));
        auto& files = seen[{r.set_number, face}];
        const std::string file = read_file(glyphs_path + set_of(r).directory + file_of(r));
        const auto earlier = files.find(file);
        if (earlier == files.end()) {
            files.emplace(file, r);
        } else {
            EXPECT_STREQ(symbol_characters[earlier->second.row], symbol_characters[r.row])
                << name_of(r) << " draws as " << name_of(earlier->second);
        }
    }
}

// Drawing numbers are typefaces: a second drawing of a kanji, and every
// drawing of a syllable, comes from a face of its own, and ".bold" rows from
// the bold face.
TEST(Typefaces, DrawingsOfOneSymbolComeFromDifferentTypefaces)
{
    const struct {
        int set_number;
        const char* file;
        int picture_set;
        int face;
    } cases[] = {
        {Hiragana, "a.1.pbm", 0, 0},          {Hiragana, "ka.8.pbm", 1, 7},
        {Katakana, "wo.5.pbm", 0, 4},         {Hiragana2, "ji.4.pbm", 0, 3},
        {Kanji, "12.pbm", 0, grid_typeface},  {Kanji, "12.pbm", 1, large_typeface},
        {Kanji, "12.2.pbm", 0, grid_second_drawing_typeface}, {Kanji, "12.2.pbm", 1, 1},
        {Kanji, "hi2.pbm", 0, named_typeface},  {Kanji, "hi2.pbm", 1, large_named_typeface},
        {Kanji, "kawa2.bold.pbm", 0, grid_bold_typeface},
        {Kanji, "kawa2.bold.pbm", 1, large_bold_typeface},
        {Kanji, "gets.pbm", 0, named_typeface},
        {Kanji, "tski.pbm", 0, grid_second_name_typeface},
        {Kanji, "tski.pbm", 1, large_second_name_typeface},
    };
    for (const auto& c : cases)
        EXPECT_EQ(typeface_for(c.set_number, c.file, c.picture_set), c.face)
            << c.file << " in set " << c.picture_set;

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

// A committed picture's ink, rows top down; empty when it cannot be read.
std::vector<std::string> picture_rows(const std::string& path)
{
    std::istringstream in(read_file(path));
    std::string magic;
    int width = 0, height = 0;
    in >> magic >> width >> height;
    in.get();
    std::vector<std::string> rows;
    const int bytes = (width + 7) / 8;
    for (int y = 0; y < height && in; ++y) {
        std::string row;
        for (int b = 0; b < bytes; ++b) {
            const int byte = in.get();
            for (int bit = 0; bit < 8 && b * 8 + bit < width; ++bit)
                row += byte & (0x80 >> bit) ? '#' : '.';
        }
        rows.push_back(row);
    }
    return magic == "P4" && int(rows.size()) == height ? rows : std::vector<std::string>();
}

// In both sets, the kana of a compound without a voicing mark keep a blank
// column between them, so their bars never run on as one; and a mark that
// would stand in line with its kana's top bar stands above the kana, on
// lines of its own: nothing there runs wider than the mark, and a blank line
// follows.
TEST(Typefaces, CompoundsKeepApartAndMarksClearOfBars)
{
    for (const PictureSet& set : picture_sets) {
        const size_t widest_mark = set.width > 32 ? 6 : 4;
        for (const Row& r : catalogue_rows()) {
            const std::vector<unsigned> text = code_points(symbol_characters[r.row]);
            int mark = 0;
            for (unsigned c : text) {
                int m;
                plain_kana(c, m);
                mark = std::max(mark, m);
            }
            const std::string name = set.directory + name_of(r);
            const std::vector<std::string> rows = picture_rows(glyphs_path + "/" + name);
            if (r.set_number == Kanji || rows.empty())
                continue;
            if (text.size() > 1 && mark == 0) {
                size_t first = std::string::npos, last = 0;
                for (const std::string& row : rows)
                    if (row.find('#') != std::string::npos)
                        first = std::min(first, row.find('#')), last = std::max(last, row.rfind('#'));
                bool gap = false;
                for (size_t x = first; x < last && !gap; ++x)
                    gap = std::all_of(rows.begin(), rows.end(),
                                      [&](const std::string& row) { return row[x] == '.'; });
                EXPECT_TRUE(gap) << name << " has no blank column between its kana";
            }
        }
        for (const char* file : {"Hiragana2/de.1.pbm", "Katakana2/go.1.pbm", "Katakana2/bu.1.pbm",
                                 "Hiragana2/pyo.1.pbm"}) {
            const std::string name = std::string(set.directory) + file;
            const std::vector<std::string> rows = picture_rows(glyphs_path + "/" + name);
            ASSERT_FALSE(rows.empty()) << name;
            size_t y = 0;
            while (y < rows.size() && rows[y].find('#') == std::string::npos)
                ++y;
            for (; y < rows.size() && rows[y].find('#') != std::string::npos; ++y)
                EXPECT_LE(rows[y].find_last_of('#') - rows[y].find('#') + 1, widest_mark)
                    << name << ", line " << y << ": the mark shares its lines with a bar";
            EXPECT_LT(y + 2, rows.size()) << name << ": no blank line below the mark";
        }
    }
}

// The generator, when the typefaces are installed, draws exactly the
// committed pictures.
TEST(Typefaces, GeneratorDrawsTheCommittedPictures)
{
    for (const Typeface& face : typefaces)
        if (!exists(face.file))
            GTEST_SKIP() << "typeface " << face.name << " is not installed (" << face.file << ")";
    const std::vector<std::string> names = {
        "Hiragana/a.1.pbm",  "Hiragana/ka.3.pbm",   "Hiragana/wo.7.pbm", "Hiragana2/kya.1.pbm",
        "Hiragana2/ji.2.pbm", "Katakana/n.4.pbm",    "Katakana2/vu.1.pbm", "Kanji/1.pbm",
        "Kanji/1.2.pbm",     "Kanji/toshi2.bold.pbm", "Kanji/zo.pbm",   "Kanji/tski.pbm",
        "large/Hiragana2/pyo.1.pbm", "large/Kanji/1.pbm", "large/Kanji/tski.pbm",
    };
    const char* base = std::getenv("TMPDIR");
    std::string out = std::string(base && *base ? base : "/tmp") + "/rilk-pictures-XXXXXX";
    ASSERT_TRUE(mkdtemp(out.data()));
    std::string command = std::string("'") + RENDER_GLYPHS + "' -o '" + out + "'";
    for (const std::string& name : names)
        command += " " + name;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    for (const std::string& name : names)
        EXPECT_EQ(read_file(out + "/" + name), read_file(glyphs_path + "/" + name)) << name;
    std::error_code ignored;
    std::filesystem::remove_all(out, ignored);
}

}  // namespace
