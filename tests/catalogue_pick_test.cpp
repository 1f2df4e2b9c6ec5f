#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "tests/test_support.h"

namespace {

constexpr int largest = 2147483647;

void only_sets(const std::string& letters)   // e.g. "gj": hiragana and kanji on
{
    settings.use_hiragana = letters.find('g') != std::string::npos ? 'y' : 'n';
    settings.use_hiragana2 = letters.find('G') != std::string::npos ? 'y' : 'n';
    settings.use_katakana = letters.find('k') != std::string::npos ? 'y' : 'n';
    settings.use_katakana2 = letters.find('K') != std::string::npos ? 'y' : 'n';
    settings.use_kanji = letters.find('j') != std::string::npos ? 'y' : 'n';
}

TEST(CataloguePick, ExactGeneratorValuesChooseExactRows)
{
    struct Case {
        std::string sets;
        std::vector<int> values;
        std::string image_file;
        std::string directory;
    };
    // A first value x draws set s exactly when (s-1) * 2^31 <= 5x < s * 2^31.
    const int set2_start = 429496730;   // ceil(2^31 / 5)
    const Case cases[] = {
        {"g", {0, 0}, "a.1.pbm", "/Hiragana/"},
        {"g", {set2_start - 1, largest}, "yu.8.pbm", "/Hiragana/"},
        {"j", {largest, largest}, "zo.pbm", "/Kanji/"},
        {"j", {largest, 0}, "1.pbm", "/Kanji/"},
        // The first attempt draws the switched-off set 1 and uses up the 5.
        {"j", {0, 5, largest, 0}, "1.pbm", "/Kanji/"},
        {"G", {set2_start, 0}, "ba.1.pbm", "/Hiragana2/"},
        {"G", {set2_start - 1, 0, set2_start, largest}, "zu.3.pbm", "/Hiragana2/"},
        {"k", {2 * set2_start, 0}, "a.1.pbm", "/Katakana/"},
        {"K", {1717986918, largest}, "zu.2.pbm", "/Katakana2/"},   // the last value of set 4
        {"gGkKj", {1288490188, 0}, "a.1.pbm", "/Katakana/"},      // the last value of set 3
        {"gGkKj", {1288490189, 0}, "ba.1.pbm", "/Katakana2/"},    // the first value of set 4
        // Half of a 312-row set: index 156.
        {"g", {0, 1073741824}, symbol_table[156].image_file, "/Hiragana/"},
    };
    for (const Case& c : cases) {
        StreamCapture streams;
        only_sets(c.sets);
        ScriptedRandom generator(c.values);
        const SymbolRecord* record = pick_symbol();
        EXPECT_EQ(record->image_file, c.image_file) << c.sets << " " << c.values[0];
        EXPECT_STREQ(current_set_directory, c.directory.c_str()) << c.sets << " " << c.values[0];
        EXPECT_EQ(generator.used(), c.values.size()) << "two draws per attempt";
    }
}

// A generator that notes the set directory at every draw.
std::vector<int> watched_values;
std::vector<std::string> directory_at_draw;

int watching_random()
{
    const size_t draw = directory_at_draw.size();
    directory_at_draw.push_back(current_set_directory ? current_set_directory : "none");
    if (draw < watched_values.size())
        return watched_values[draw];
    ADD_FAILURE() << "more draws than scripted";
    return std::rand();   // some set that is on comes up in the end
}

TEST(CataloguePick, AnAttemptOnASwitchedOffSetLeavesTheDirectoryAlone)
{
    // The first attempt draws a set that is off; the directory must still be
    // the earlier one while the second attempt draws.
    struct Case {
        std::string sets;
        std::vector<int> values;
        std::string directory;
    };
    const Case cases[] = {
        {"j", {0, 5, largest, 0}, "/Kanji/"},            // hiragana, off
        {"g", {largest, 5, 0, 0}, "/Hiragana/"},         // kanji, off
        {"k", {largest, largest, 2 * 429496730, 0}, "/Katakana/"},
    };
    for (const Case& c : cases) {
        StreamCapture streams;
        only_sets(c.sets);
        current_set_directory = "/Earlier/";
        watched_values = c.values;
        directory_at_draw.clear();
        random_source = &watching_random;
        pick_symbol();
        random_source = &std::rand;
        const std::vector<std::string> expected{"/Earlier/", "/Earlier/", "/Earlier/", "/Earlier/"};
        EXPECT_EQ(directory_at_draw, expected) << c.sets;
        EXPECT_STREQ(current_set_directory, c.directory.c_str()) << c.sets;
    }
}

TEST(CataloguePick, EveryPickStaysInsideTheSwitchedOnSets)
{
    // Sweep the generator's range with a simple sequence; every row chosen
    // must lie in a switched-on set, and the set's directory must match.
    const std::string combinations[] = {"g", "j", "Gk", "gGkKj"};
    for (const std::string& sets : combinations) {
        StreamCapture streams;
        only_sets(sets);
        std::vector<int> values;
        for (long long v = 0; v < 20000; ++v)
            values.push_back(static_cast<int>((v * 2654435761LL) % 2147483648LL));
        ScriptedRandom generator(values);
        for (int pick = 0; generator.used() + 20 < values.size() && pick < 500; ++pick) {
            const SymbolRecord* record = pick_symbol();
            const int row = static_cast<int>(record - symbol_table);
            int set = 0;
            while (set + 1 < set_count && row >= set_table[set + 1].first_row)
                ++set;
            const char letter = "gGkKj"[set];
            ASSERT_NE(sets.find(letter), std::string::npos) << sets << " picked row " << row;
            ASSERT_STREQ(current_set_directory, set_table[set].directory);
        }
    }
}

}  // namespace
