// The catalogue's contents: set layout, file names, readings, the form of
// every translation, and the characters each row depicts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/characters.h"
#include "quiz/plain_text.h"
#include "tests/test_support.h"

namespace {

const SetInfo& kanji_set = set_table[Kanji - 1];

bool is_kanji_row(int row) { return row >= kanji_set.first_row; }

std::string stem(const std::string& image_file)   // up to the first period
{
    return image_file.substr(0, image_file.find('.'));
}

bool is_numbered(const std::string& image_file)
{
    return !image_file.empty() && image_file[0] >= '0' && image_file[0] <= '9';
}

std::vector<char32_t> code_points(const std::string& text)
{
    std::vector<char32_t> out;
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        char32_t value = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < text.size(); ++k)
            value = (value << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(value);
        i += length;
    }
    return out;
}

bool is_single_kanji(const std::string& text)
{
    std::vector<char32_t> points = code_points(text);
    return points.size() == 1 && points[0] >= 0x4E00 && points[0] <= 0x9FFF;
}


TEST(CatalogueData, SetsLieOneAfterAnotherWithTheirFirstAndLastRows)
{
    const struct {
        SymbolSet set;
        int size;
        const char* first;
        const char* last;
    } expected[] = {
        {Hiragana, 312, "a.1.pbm", "yu.8.pbm"},    {Hiragana2, 82, "ba.1.pbm", "zu.3.pbm"},
        {Katakana, 189, "a.1.pbm", "yu.5.pbm"},    {Katakana2, 77, "ba.1.pbm", "zu.2.pbm"},
        {Kanji, 707, "1.pbm", "zo.pbm"},
    };
    int next_row = 0;
    for (const auto& e : expected) {
        const SetInfo& info = set_table[e.set - 1];
        EXPECT_EQ(info.first_row, next_row) << info.name;
        EXPECT_EQ(info.size, e.size) << info.name;
        EXPECT_STREQ(symbol_table[info.first_row].image_file, e.first) << info.name;
        EXPECT_STREQ(symbol_table[info.first_row + info.size - 1].image_file, e.last) << info.name;
        next_row = info.first_row + info.size;
    }
    EXPECT_EQ(next_row, symbol_count);
}

TEST(CatalogueData, FileNamesAreUniqueWithinASetAndSyllablesInByteOrder)
{
    for (const SetInfo& info : set_table) {
        std::set<std::string> seen;
        for (int row = info.first_row; row < info.first_row + info.size; ++row) {
            const char* name = symbol_table[row].image_file;
            EXPECT_TRUE(seen.insert(name).second) << info.name << " repeats " << name;
            const size_t length = std::strlen(name);
            EXPECT_TRUE(length > 4 && std::strcmp(name + length - 4, ".pbm") == 0) << name;
            if (&info != &kanji_set && row > info.first_row) {
                EXPECT_LT(std::strcmp(symbol_table[row - 1].image_file, name), 0)
                    << info.name << ": " << symbol_table[row - 1].image_file << " before " << name;
            }
        }
    }
}

TEST(CatalogueData, TellingRows)
{
    const struct {
        SymbolSet set;
        const char* image_file;
        const char* character;
        const char* translation;
        const char* on_reading;
        const char* kun_reading;
    } expected[] = {
        {Hiragana, "a.1.pbm", "あ", "-", "a", "a"},
        {Hiragana, "n.8.pbm", "ん", "-", "n", "n"},
        {Hiragana2, "ji.4.pbm", "ぢ", "-", "ji", "ji"},
        {Katakana, "wo.1.pbm", "ヲ", "-", "wo", "wo"},
        {Katakana2, "wo.1.pbm", "ウォ", "-", "wo", "wo"},
        {Kanji, "1.pbm", "日", "day, sun", "-", "-"},
        {Kanji, "1.2.pbm", "日", "day, sun", "-", "-"},
        {Kanji, "5.pbm", "人", "man", "-", "-"},
        {Kanji, "5.2.pbm", "人", "man, person", "-", "-"},
        {Kanji, "6.pbm", "大", "big, large , great", "-", "-"},
        {Kanji, "6.2.pbm", "大", "big, large , great", "-", "-"},
        {Kanji, "15.pbm", "出", "go out, put out, exit, leave", "-", "-"},
        {Kanji, "15.2.pbm", "出", "go out, put out, exit, leave", "-", "-"},
        {Kanji, "72.pbm", "約", "promise, approximately, about", "-", "-"},
        {Kanji, "90.pbm", "当", "to hit, to be equal to, to guess", "-", "-"},
        {Kanji, "100.pbm", "不", "dis~, in~, un~, ill~", "-", "-"},
        {Kanji, "131.pbm", "氏", "family, Mr.", "-", "-"},
        {Kanji, "164.pbm", "工", "worker, construction", "-", "-"},
        {Kanji, "167.pbm", "電", "lightning, electricity", "-", "-"},
        {Kanji, "167.2.pbm", "電", "lightning, electricity", "-", "-"},
        {Kanji, "217.pbm", "億", "one-hundred million", "-", "-"},
        {Kanji, "241.pbm", "半", "half, semi-, middle", "-", "-"},
        {Kanji, "279.pbm", "業", "occupation, to run (business)", "-", "-"},
        {Kanji, "407.pbm", "副", "to accompany, vice-", "-", "-"},
        {Kanji, "421.pbm", "境", "border, fate, circumstances", "-", "-"},
        {Kanji, "447.pbm", "英", "brilliant, eminent, English, England", "-", "-"},
        {Kanji, "447.2.pbm", "英", "brilliant, eminent, English, England", "-", "-"},
        {Kanji, "511.pbm", "分", "understand, unit of time", "-", "-"},
        {Kanji, "ai.pbm", "愛", "love", "-", "ai"},
        {Kanji, "ame.pbm", "雨", "rain", "-", "ame"},
        {Kanji, "e2.pbm", "絵", "painting, picture, drawing", "-", "e"},
        {Kanji, "hana.pbm", "花", "flower", "-", "hana"},
        {Kanji, "hana2.pbm", "鼻", "nose", "-", "hana2"},
        {Kanji, "hi1.pbm", "日", "day", "-", "hi"},
        {Kanji, "hi1.bold.pbm", "日", "day", "-", "hi"},
        {Kanji, "hi2.pbm", "火", "fire", "-", "hi"},
        {Kanji, "kawa.pbm", "川", "river", "-", "kawa"},
        {Kanji, "yama.pbm", "山", "mountain", "-", "yama"},
        {Kanji, "tski.pbm", "月", "moon", "-", "tski"},
        {Kanji, "kori.pbm", "氷", "ice", "-", "kori"},
        {Kanji, "to.pbm", "塔", "pagoda", "-", "to"},
        {Kanji, "to2.pbm", "戸", "door", "-", "to2"},
        {Kanji, "ji.pbm", "時", "o'clock", "-", "ji"},
        {Kanji, "kare.pbm", "彼", "he", "-", "kare"},
        {Kanji, "kare.bold.pbm", "彼", "he", "-", "kare"},
        {Kanji, "mame.pbm", "豆", "beans", "-", "mame"},
        {Kanji, "mame2.pbm", "豆", "beans", "-", "mame"},
        {Kanji, "toshi.pbm", "年", "year", "-", "toshi"},
        {Kanji, "toshi2.bold.pbm", "歳", "age, year", "-", "toshi"},
        {Kanji, "zo.pbm", "像", "statue", "-", "zo"},
    };
    for (const auto& e : expected) {
        const int row = find_row(e.set, e.image_file);
        ASSERT_GE(row, 0) << e.image_file;
        const SymbolRecord& record = symbol_table[row];
        EXPECT_STREQ(symbol_characters[row], e.character) << e.image_file;
        EXPECT_STREQ(record.translation, e.translation) << e.image_file;
        EXPECT_STREQ(record.on_reading, e.on_reading) << e.image_file;
        EXPECT_STREQ(record.kun_reading, e.kun_reading) << e.image_file;
    }
    EXPECT_EQ(find_row(Kanji, "ai.pbm"), kanji_set.first_row + 556) << "first named row";
}

TEST(CatalogueData, EveryKanjiTranslationHasTheLearnersForm)
{
    const std::string allowed = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                "0123456789 ,.-'~()";
    for (int row = kanji_set.first_row; row < symbol_count; ++row) {
        const std::string text = symbol_table[row].translation;
        const std::string where = symbol_table[row].image_file;
        ASSERT_FALSE(text.empty()) << where;
        EXPECT_LE(text.size(), translation_length_limit) << where;
        EXPECT_EQ(std::strchr(word_separators, text.front()), nullptr) << where;
        EXPECT_TRUE(text.back() != ' ' && text.back() != ',') << where;
        EXPECT_EQ(text.find_first_not_of(allowed), std::string::npos) << where << ": " << text;
        EXPECT_EQ(text.find("  "), std::string::npos) << where;
        EXPECT_EQ(text.find("TODO"), std::string::npos) << where;
        int glosses = 1;
        for (size_t comma = text.find(','); comma != std::string::npos;
             comma = text.find(',', comma + 1)) {
            ++glosses;
            EXPECT_EQ(text.compare(comma, 2, ", "), 0) << where << ": comma without a blank";
            EXPECT_TRUE(comma + 2 < text.size() && std::strchr(word_separators, text[comma + 2]) == nullptr)
                << where << ": empty gloss";
        }
        EXPECT_LE(glosses, translation_gloss_limit) << where << ": " << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '('), std::count(text.begin(), text.end(), ')'))
            << where;
    }
}

TEST(CatalogueData, ReadingsFollowTheFileNames)
{
    // Named rows whose reading drops the digit of the file name.
    const std::set<std::string> drops_digit = {
        "e2.pbm", "hi1.bold.pbm", "hi1.pbm", "hi2.pbm", "kai2.pbm", "kawa2.bold.pbm", "kawa2.pbm",
        "ksuri1.pbm", "mame2.pbm", "me1.bold.pbm", "me1.pbm", "shita2.pbm", "toshi2.bold.pbm"};
    const std::set<std::string> keeps_digit = {"en2.pbm", "hana2.pbm", "kami2.pbm", "to2.pbm"};
    int named_with_digit = 0;
    for (int row = 0; row < symbol_count; ++row) {
        const SymbolRecord& record = symbol_table[row];
        const std::string file = record.image_file;
        const std::string word = stem(file);
        if (!is_kanji_row(row)) {
            EXPECT_TRUE(is_absent(record.translation)) << file;
            EXPECT_EQ(record.on_reading, word) << file;
            EXPECT_EQ(record.kun_reading, word) << file;
            continue;
        }
        EXPECT_TRUE(is_absent(record.on_reading)) << file;
        if (is_numbered(file)) {
            EXPECT_TRUE(is_absent(record.kun_reading)) << file;
            continue;
        }
        const bool has_digit = word.back() >= '0' && word.back() <= '9';
        named_with_digit += has_digit;
        if (has_digit) {
            EXPECT_TRUE(drops_digit.count(file) || keeps_digit.count(file)) << file;
        }
        EXPECT_EQ(record.kun_reading, drops_digit.count(file) ? word.substr(0, word.size() - 1) : word)
            << file;
    }
    EXPECT_EQ(named_with_digit, 17);
}

TEST(CatalogueData, NoPresentFieldBeginsWithASeparator)
{
    for (int row = 0; row < symbol_count; ++row) {
        const SymbolRecord& record = symbol_table[row];
        for (const char* field : {record.image_file, record.translation, record.on_reading,
                                  record.kun_reading}) {
            ASSERT_NE(field, nullptr) << row;
            ASSERT_NE(field[0], '\0') << record.image_file;
            if (!is_absent(field)) {
                EXPECT_EQ(std::strchr(word_separators, field[0]), nullptr)
                    << record.image_file << ": \"" << field << "\"";
            }
        }
    }
}

TEST(CatalogueData, NumberedRowsRunInOrderWithTheirSecondDrawings)
{
    const std::set<int> second_drawings = {1,  2,  3,  4,  5,  6,  9,   10,  11,  13,  14,  15,
                                           21, 22, 23, 30, 31, 39, 41,  42,  43,  46,  48,  52,
                                           53, 55, 57, 64, 77, 79, 82,  99,  109, 112, 124, 153,
                                           158, 167, 198, 254, 269, 307, 313, 381, 447};
    int row = kanji_set.first_row;
    for (int n = 1; n <= 511; ++n) {
        ASSERT_EQ(symbol_table[row].image_file, std::to_string(n) + ".pbm");
        ++row;
        if (second_drawings.count(n)) {
            ASSERT_EQ(symbol_table[row].image_file, std::to_string(n) + ".2.pbm");
            ++row;
        }
    }
    EXPECT_EQ(row - kanji_set.first_row, 556);
}

TEST(CatalogueData, VariantDrawingsShareCharacterAndTranslation)
{
    for (int row = kanji_set.first_row; row < symbol_count; ++row) {
        std::string file = symbol_table[row].image_file;
        std::string plain;
        const size_t bold = file.find(".bold");
        const size_t second = file.find(".2.pbm");
        if (bold != std::string::npos)
            plain = file.substr(0, bold) + ".pbm";
        else if (second != std::string::npos && is_numbered(file))
            plain = file.substr(0, second) + ".pbm";
        else
            continue;
        const int other = find_row(Kanji, plain);
        if (other < 0) {
            EXPECT_NE(bold, std::string::npos) << file << " has no first drawing";
            continue;   // a bold drawing may stand alone ("aki.bold.pbm")
        }
        EXPECT_STREQ(symbol_characters[row], symbol_characters[other]) << file;
        EXPECT_STREQ(symbol_table[row].kun_reading, symbol_table[other].kun_reading) << file;
        if (file != "5.2.pbm") {
            EXPECT_STREQ(symbol_table[row].translation, symbol_table[other].translation) << file;
        }
    }
    // Named words that differ only by a digit: one kanji means one translation.
    std::map<std::string, std::vector<int>> by_word;
    for (int row = kanji_set.first_row; row < symbol_count; ++row) {
        std::string word = stem(symbol_table[row].image_file);
        if (is_numbered(word) || std::strstr(symbol_table[row].image_file, ".bold"))
            continue;
        while (word.back() >= '0' && word.back() <= '9')
            word.pop_back();
        by_word[word].push_back(row);
    }
    for (const auto& [word, rows] : by_word)
        for (int a : rows)
            for (int b : rows)
                if (std::strcmp(symbol_characters[a], symbol_characters[b]) == 0) {
                    EXPECT_STREQ(symbol_table[a].translation, symbol_table[b].translation) << word;
                }
}

TEST(CatalogueData, EveryRowNamesTheCharacterItShows)
{
    std::set<std::string> numbered;
    for (int row = 0; row < symbol_count; ++row) {
        const std::string character = symbol_characters[row];
        const std::string file = symbol_table[row].image_file;
        ASSERT_FALSE(character.empty()) << file;
        EXPECT_EQ(character.find('?'), std::string::npos) << file;
        for (const char* field : {symbol_table[row].image_file, symbol_table[row].translation,
                                  symbol_table[row].on_reading, symbol_table[row].kun_reading})
            EXPECT_EQ(std::strstr(field, "TODO"), nullptr) << file;
        if (is_kanji_row(row)) {
            EXPECT_TRUE(is_single_kanji(character)) << file << ": " << character;
            if (is_numbered(file) && file.find(".2.") == std::string::npos) {
                EXPECT_TRUE(numbered.insert(character).second) << file << " repeats " << character;
            }
            continue;
        }
        // Kana: one or two code points (a syllable and its small kana).
        const bool hiragana = row < set_table[Katakana - 1].first_row;
        const std::vector<char32_t> points = code_points(character);
        EXPECT_TRUE(points.size() == 1 || points.size() == 2) << file;
        for (char32_t point : points)
            EXPECT_TRUE(hiragana ? point >= 0x3041 && point <= 0x309F : point >= 0x30A1 && point <= 0x30FF)
                << file << ": " << character;
    }
    EXPECT_EQ(numbered.size(), 511u);
}

// The school kanji of the system's dictionary, in grade, stroke-count and
// code-point order. Empty when the dictionary is not installed.
std::vector<std::string> school_kanji_in_order()
{
    const char* const dictionary = "/usr/share/edict/kanjidic2.xml.gz";
    std::vector<std::tuple<int, int, char32_t, std::string>> found;
    if (FILE* probe = std::fopen(dictionary, "r"))
        std::fclose(probe);
    else
        return {};
    FILE* pipe = popen((std::string("zcat ") + dictionary).c_str(), "r");
    if (!pipe)
        return {};
    std::string literal;
    int grade = 0, strokes = 0;
    char line[4096];
    auto value = [](const std::string& text, const char* tag) -> std::string {
        const std::string open = std::string("<") + tag + ">";
        const size_t start = text.find(open);
        if (start == std::string::npos)
            return "";
        const size_t end = text.find('<', start + open.size());
        return text.substr(start + open.size(), end - start - open.size());
    };
    while (std::fgets(line, sizeof line, pipe)) {
        const std::string text = line;
        if (text.find("<character>") != std::string::npos) {
            literal.clear();
            grade = strokes = 0;
        } else if (text.find("<literal>") != std::string::npos) {
            literal = value(text, "literal");
        } else if (text.find("<grade>") != std::string::npos) {
            grade = std::stoi(value(text, "grade"));
        } else if (text.find("<stroke_count>") != std::string::npos && strokes == 0) {
            strokes = std::stoi(value(text, "stroke_count"));   // the first is the standard count
        } else if (text.find("</character>") != std::string::npos && grade >= 1 && grade <= 6) {
            found.emplace_back(grade, strokes, code_points(literal)[0], literal);
        }
    }
    pclose(pipe);
    std::sort(found.begin(), found.end());
    std::vector<std::string> out;
    for (const auto& entry : found)
        out.push_back(std::get<3>(entry));
    return out;
}

TEST(CatalogueData, NumberedKanjiFollowTheSchoolGradesOfTheDictionary)
{
    const std::vector<std::string> school = school_kanji_in_order();
    if (school.empty())
        GTEST_SKIP() << "kanjidic2.xml.gz is not installed";
    const std::set<int> fixed = {1, 5, 6, 15, 72, 90, 100, 131, 164, 167, 217, 241, 279, 407, 421, 447, 511};
    std::set<std::string> fixed_characters;
    std::vector<std::string> others;
    for (int row = kanji_set.first_row; is_numbered(symbol_table[row].image_file); ++row) {
        const std::string file = symbol_table[row].image_file;
        if (file.find(".2.") != std::string::npos)
            continue;
        if (fixed.count(std::stoi(file)))
            fixed_characters.insert(symbol_characters[row]);
        else
            others.push_back(symbol_characters[row]);
    }
    ASSERT_EQ(others.size(), 494u);
    size_t next = 0;
    for (const std::string& kanji : school) {
        if (fixed_characters.count(kanji))
            continue;
        if (next == others.size())
            break;
        EXPECT_EQ(others[next], kanji) << "numbered kanji " << next + 1 << " of the school list";
        ++next;
    }
    EXPECT_EQ(next, others.size());
}

}  // namespace
