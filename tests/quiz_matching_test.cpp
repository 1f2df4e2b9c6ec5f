#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "quiz/alignment.h"
#include "quiz/ask.h"
#include "quiz/plain_text.h"
#include "quiz/quiz.h"
#include "quiz/read_word.h"
#include "quiz/words.h"

namespace {

// The words of a text as split_words gives them, the list freed again.
std::vector<std::string> words_of(const char* text)
{
    char** words = split_words(text);
    const int count = count_words(text);
    std::vector<std::string> result;
    for (int i = 0; i < count; ++i)
        result.emplace_back(words[i]);
    free_words(words, count);
    return result;
}

std::string extracted(const char* text, int position)
{
    char* word = extract_word(text, position);
    if (!word)
        return "<absent>";
    std::string result = word;
    std::free(word);
    return result;
}

TEST(AnswerMatching, AbsentTextsGiveTheFixedAnswers)
{
    EXPECT_FALSE(texts_equal(nullptr, nullptr));
    EXPECT_FALSE(texts_equal("ka", nullptr));
    EXPECT_FALSE(texts_equal(nullptr, ""));
    EXPECT_EQ(text_length(nullptr), 0);
    EXPECT_EQ(separator_index(nullptr, ' '), -1);
    EXPECT_EQ(count_words(nullptr), 0);
    EXPECT_EQ(extract_word(nullptr, 0), nullptr);
    EXPECT_EQ(split_words(nullptr), nullptr);
    EXPECT_EQ(count_aligned_matches(nullptr, "EXIT", 0), 0);
    EXPECT_EQ(count_aligned_matches("EXIT", nullptr, 0), 0);
    EXPECT_EQ(best_alignment(nullptr, "EXIT"), 0);
    EXPECT_EQ(best_alignment("EXIT", nullptr), 0);
}

TEST(AnswerMatching, TextsEqualIsExactByteEquality)
{
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"hana", "hana2", false}, {"hana2", "hana", false}, {"hana2", "hana2", true},
        {"-", "-", true},         {"", "", true},           {"", "-", false},
        {"ka", "KA", false},      {"shi", "si", false},     {"\xe9t\xe9", "\xe9t\xe9", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(texts_equal(c.a, c.b), c.equal) << '"' << c.a << "\" vs \"" << c.b << '"';
}

TEST(AnswerMatching, LengthsAndUpperCase)
{
    EXPECT_EQ(text_length(""), 0);
    EXPECT_EQ(text_length("go out, put out"), 15);
    struct Case {
        const char* text;
        const char* upper;
    } cases[] = {
        {"o'clock", "O'CLOCK"},
        {"(business)", "(BUSINESS)"},
        {"hana2 az AZ@[`{", "HANA2 AZ AZ@[`{"},
        {"\xe0\xe9z\x80\xff", "\xe0\xe9Z\x80\xff"},
        {"", ""},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        upcase_text(text.data());
        EXPECT_EQ(text, c.upper);
    }
}

TEST(AnswerMatching, SeparatorPositions)
{
    // Which characters separate words, the splitting rows below show.
    for (int i = 0; word_separators[i]; ++i)
        EXPECT_EQ(separator_index(word_separators, word_separators[i]), i);
    for (char c : std::string("a'()~0_;/\x80"))
        EXPECT_EQ(separator_index(word_separators, c), -1) << c;
    EXPECT_EQ(separator_index(word_separators, '\0'), -1);
    EXPECT_EQ(separator_index("", '\0'), -1);
}

TEST(AnswerMatching, TextsSplitIntoMaximalRunsOfWordCharacters)
{
    struct Case {
        const char* text;
        std::vector<std::string> words;
    } cases[] = {
        {"", {}},
        {" ,. ", {}},
        {"-", {}},
        {"go out, put out, exit, leave", {"go", "out", "put", "out", "exit", "leave"}},
        {"big, large , great", {"big", "large", "great"}},
        {"one-hundred million", {"one", "hundred", "million"}},
        {"family, Mr.", {"family", "Mr"}},
        {"occupation, to run (business)", {"occupation", "to", "run", "(business)"}},
        {"to hit, to be equal to, to guess", {"to", "hit", "to", "be", "equal", "to", "to", "guess"}},
        {" abc:def", {"abc", "def"}},
        {"abc, ", {"abc"}},
        {"half, semi-, middle", {"half", "semi", "middle"}},
        {"o'clock\t~ish\r\nx", {"o'clock", "~ish", "x"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(count_words(c.text), static_cast<int>(c.words.size())) << c.text;
        EXPECT_EQ(words_of(c.text), c.words) << c.text;
    }
}

TEST(AnswerMatching, ExtractWordTakesTheWordAtOrAfterAPosition)
{
    struct Case {
        const char* text;
        int position;
        std::string word;
    } cases[] = {
        {"go out, put out", 0, "go"},
        {"go out, put out", 1, "go"},
        {"go out, put out", 4, "out"},
        {"go out, put out", 5, "out"},
        {"go out, put out", 2, "out"},
        {"go out, put out", 6, "put"},
        {"go out, put out", 14, "out"},
        {"go out, put out", 15, "<absent>"},
        {"go out, put out", 99, "<absent>"},
        {"exit, ", 4, ""},
        {"exit, ", 5, ""},
        {"", 0, "<absent>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(extracted(c.text, c.position), c.word) << c.text << " at " << c.position;
}

TEST(AnswerMatching, AlignedMatchesUnderOneShift)
{
    struct Case {
        const char* first;
        const char* second;
        int shift;
        int matches;
    } cases[] = {
        {"LEAVE", "LEAV", 0, 4},  {"LEAVE", "LEAV", -3, 0}, {"LEAVE", "LEAV", -4, 0},
        {"LEAVE", "LEAV", 5, 0},  {"LEAVE", "LEAV", 4, 0},  {"OUT", "EXIT", -1, 1},
        {"ABAB", "AB", 2, 2},     {"AB", "BA", 1, 1},       {"AB", "BA", -1, 1},
        {"", "AB", 0, 0},         {"AB", "", 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(count_aligned_matches(c.first, c.second, c.shift), c.matches)
            << c.first << " / " << c.second << " at " << c.shift;
}

TEST(AnswerMatching, BestAlignmentTakesTheBestShiftEitherWayRound)
{
    struct Case {
        const char* first;
        const char* second;
        int best;
    } cases[] = {
        {"EXIT", "EXIT", 4},
        {"LEAVE", "LEAV", 4},
        {"OUT", "EXIT", 1},
        {"CONSTRUCTION", "ONSTRUCTION", 11},
        {"CONSTRUCTION", "CONSTRUTION", 7},
        {"CONSTRUCTION", "CONSTRUKTION", 11},
        {"GO", "EXIT", 0},
        {"OCCUPATION", "OCCUPASION", 9},
        {"ELECTRICITY", "ELECTRICTY", 8},
        {"APPROXIMATELY", "APROXIMATELY", 11},
        {"EXIT", "", 0},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(best_alignment(c.first, c.second), c.best) << c.first << " / " << c.second;
        EXPECT_EQ(best_alignment(c.second, c.first), c.best) << c.second << " / " << c.first;
    }
}

}  // namespace
