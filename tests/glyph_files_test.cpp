// The bundled pictures under glyphs/ and glyphs/large/: one for every
// catalogue row in each set, each a raw bitmap that the program prints one
// line per pixel row at the set's limits and the same at larger ones.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/characters.h"
#include "base/settings.h"
#include "glyph/glyph.h"
#include "tests/test_support.h"

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

// The two sets of pictures: where they lie and the limits they are drawn
// for (-x, -y). Their sizes are the pictures' own.
const struct PictureSet {
    std::string path;
    int max_width, max_height;
} picture_sets[] = {
    {glyphs_path, 32, 22},
    {glyphs_path + "/large", 48, 24},
};

// The width and height a picture's header gives; 0 x 0 for no raw bitmap.
void picture_size(const std::string& file, int& width, int& height)
{
    width = height = 0;
    if (std::sscanf(file.c_str(), "P4\n%d %d\n", &width, &height) != 2)
        width = height = 0;
}

// The pixels of a raw bitmap, rows top down.
std::vector<std::vector<bool>> pixels_of(const std::string& file)
{
    int width, height;
    picture_size(file, width, height);
    const size_t header = file.find('\n', file.find('\n') + 1) + 1;
    const size_t row_bytes = size_t(width + 7) / 8;
    std::vector<std::vector<bool>> rows(height, std::vector<bool>(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = header + y * row_bytes + x / 8;
            rows[y][x] = at < file.size() && (file[at] & (0x80 >> (x % 8)));
        }
    return rows;
}

// What the program prints for a row's picture, through its own reader, at
// the given limits; nothing for a missing picture, which the reader would
// end the run for.
std::string printed(const Row& r, const std::string& path, int max_width, int max_height)
{
    if (!exists(path + set_of(r).directory + file_of(r)))
        return "";
    StreamCapture capture;
    settings.symbol_path = path.c_str();
    settings.max_width = max_width;
    settings.max_height = max_height;
    current_set_directory = set_of(r).directory;
    open_glyph(&symbol_table[r.row]);
    render_glyph(&symbol_table[r.row]);
    return capture.output();
}

TEST(GlyphFiles, EverySetHasARawBitmapWithInkForEveryRow)
{
    for (const PictureSet& set : picture_sets) {
        for (const Row& r : catalogue_rows()) {
            const std::string path = set.path + set_of(r).directory + file_of(r);
            if (!exists(path)) {
                ADD_FAILURE() << path << " is missing";
                continue;
            }
            const std::string file = read_file(path);
            // The header is two lines; the raster that follows may begin with
            // any byte, white space included.
            int width = 0, height = 0;
            picture_size(file, width, height);
            ASSERT_GT(width, 0) << name_of(r) << " is no raw bitmap";
            const size_t header = file.find('\n', file.find('\n') + 1) + 1;
            EXPECT_EQ(file.size(), header + size_t((width + 7) / 8) * height)
                << name_of(r) << ": the raster does not match " << width << " x " << height;
            EXPECT_TRUE(width <= set.max_width && height <= set.max_height)
                << path << " is " << width << " x " << height;
            EXPECT_NE(file.find_first_not_of('\0', header), std::string::npos)
                << name_of(r) << " has no ink";
        }
    }
}

// At its set's limits every picture prints one line per pixel row, all of
// one width, and exactly the same at larger limits: on a 24-line screen a
// wrong answer's correction, the next picture and its prompt fit. Its ink
// spans at least 60% of the block across or down.
TEST(GlyphFiles, EveryPicturePrintsOneLinePerRowAtItsLimitsAndLarger)
{
    for (const PictureSet& set : picture_sets) {
        for (const Row& r : catalogue_rows()) {
            const std::string text = printed(r, set.path, set.max_width, set.max_height);
            const std::vector<std::string> lines = lines_of(text);
            ASSERT_FALSE(lines.empty()) << set.path << " " << name_of(r);
            int width, height;
            picture_size(read_file(set.path + set_of(r).directory + file_of(r)), width, height);
            EXPECT_EQ(lines.size(), size_t(height)) << set.path << " " << name_of(r);
            EXPECT_EQ(lines[0].size(), size_t(width)) << set.path << " " << name_of(r);
            EXPECT_EQ(printed(r, set.path, set.max_width * 2, set.max_height * 2), text)
                << set.path << " " << name_of(r) << " prints otherwise at larger limits";
            int top = -1, bottom = -1, left = width, right = -1;
            for (size_t y = 0; y < lines.size(); ++y) {
                EXPECT_EQ(lines[y].size(), lines[0].size()) << name_of(r) << " line " << y;
                const size_t first = lines[y].find('O'), last = lines[y].rfind('O');
                if (first == std::string::npos)
                    continue;
                top = top < 0 ? int(y) : top;
                bottom = int(y);
                left = std::min(left, int(first));
                right = std::max(right, int(last));
            }
            ASSERT_GE(top, 0) << name_of(r) << " prints no ink";
            const double across = (right - left + 1.0) / width;
            const double down = (bottom - top + 1.0) / height;
            EXPECT_GE(std::max(across, down), 0.6)
                << set.path << " " << name_of(r) << ": ink spans " << right - left + 1
                << " columns, " << bottom - top + 1 << " lines";
        }
    }
}

// Drawings of one syllable are in different hands: no two of them share
// more than 85% of the cells that either prints.
TEST(GlyphFiles, NoTwoDrawingsOfASyllablePrintAlike)
{
    for (const PictureSet& set : picture_sets) {
        std::map<std::string, std::vector<std::pair<std::string, std::string>>> drawings;
        for (const Row& r : catalogue_rows())
            if (r.set_number != Kanji)
                drawings[name_of(r).substr(0, name_of(r).find('.'))].push_back(
                    {name_of(r), printed(r, set.path, set.max_width, set.max_height)});
        for (const auto& syllable : drawings)
            for (size_t i = 0; i < syllable.second.size(); ++i)
                for (size_t j = i + 1; j < syllable.second.size(); ++j) {
                    const std::string& a = syllable.second[i].second;
                    const std::string& b = syllable.second[j].second;
                    int both = 0, either = 0;
                    for (size_t k = 0; k < std::min(a.size(), b.size()); ++k) {
                        both += a[k] == 'O' && b[k] == 'O';
                        either += a[k] == 'O' || b[k] == 'O';
                    }
                    EXPECT_LE(100 * both, 85 * either)
                        << set.path << " " << syllable.second[i].first << " and "
                        << syllable.second[j].first << " share " << both << " of " << either
                        << " cells";
                }
    }
}

// A learner who meets one kanji under several rows meets it in as many
// hands: no two rows of a set share a file's bytes, but for the hiragana
// and the katakana he, which many faces draw alike.
TEST(GlyphFiles, NoTwoRowsHaveTheSamePicture)
{
    for (const PictureSet& set : picture_sets) {
        std::map<std::string, std::string> first_row_of;
        for (const Row& r : catalogue_rows()) {
            const auto seen = first_row_of.emplace(
                read_file(set.path + set_of(r).directory + file_of(r)), name_of(r));
            const bool he = std::strncmp(file_of(r), "he.", 3) == 0 &&
                            seen.first->second.find("/he.") != std::string::npos;
            EXPECT_TRUE(seen.second || he)
                << set.path << " " << name_of(r) << " is the same picture as "
                << seen.first->second;
        }
    }
}

// The large set has the room to show strokes that the default set merges:
// none of its kanji is a coarser drawing blown up, whose every block of
// 2 x 2 pixels (on one of the four ways of laying such blocks) is all ink
// or all blank. (A kana of plain bars, such as the ni of two bars two lines
// thick, may be so by itself.) Its pictures are also larger than the
// default set's.
TEST(GlyphFiles, NoLargePictureIsACoarserOneBlownUp)
{
    const PictureSet& large = picture_sets[1];
    for (const Row& r : catalogue_rows()) {
        const std::string file = read_file(large.path + set_of(r).directory + file_of(r));
        const std::string small = read_file(picture_sets[0].path + set_of(r).directory + file_of(r));
        int width, height, small_width, small_height;
        picture_size(file, width, height);
        picture_size(small, small_width, small_height);
        EXPECT_TRUE(width > small_width && height > small_height)
            << name_of(r) << " is " << width << " x " << height << " in the large set";
        if (r.set_number != Kanji)
            continue;
        const std::vector<std::vector<bool>> ink = pixels_of(file);
        for (int dx = 0; dx < 2; ++dx)
            for (int dy = 0; dy < 2; ++dy) {
                bool uniform = true;
                for (int y = dy; y + 1 < height && uniform; y += 2)
                    for (int x = dx; x + 1 < width && uniform; x += 2)
                        uniform = ink[y][x] == ink[y][x + 1] && ink[y][x] == ink[y + 1][x] &&
                                  ink[y][x] == ink[y + 1][x + 1];
                EXPECT_FALSE(uniform) << "large " << name_of(r)
                                      << " is a drawing blown up two times";
            }
    }
}

}  // namespace
