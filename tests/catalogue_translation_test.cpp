// The kanji translations as a learner meets them in the translation quiz:
// every word of a translation is a right answer on its own, so no word may
// be a function word, and a bare word must be enough to match.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/characters.h"
#include "quiz/alignment.h"
#include "quiz/ask.h"
#include "quiz/plain_text.h"
#include "quiz/quiz.h"
#include "quiz/read_word.h"
#include "quiz/words.h"
#include "tests/test_support.h"

namespace {

const SetInfo& kanji_set = set_table[Kanji - 1];

// Rows whose translations keep their first wording, function words and
// marks included; the quiz's worked examples are built on several of them.
const std::set<std::string> settled = {
    "1.pbm",    "1.2.pbm",   "5.pbm",    "5.2.pbm",      "6.pbm",     "6.2.pbm",
    "15.pbm",   "15.2.pbm",  "72.pbm",   "90.pbm",       "100.pbm",   "131.pbm",
    "164.pbm",  "167.pbm",   "167.2.pbm", "217.pbm",     "241.pbm",   "279.pbm",
    "407.pbm",  "421.pbm",   "447.pbm",  "447.2.pbm",    "511.pbm",   "ai.pbm",
    "e2.pbm",   "hana.pbm",  "hana2.pbm", "hi1.pbm",     "hi1.bold.pbm", "hi2.pbm",
    "to.pbm",   "to2.pbm",   "ji.pbm",   "kare.pbm",     "kare.bold.pbm", "mame.pbm",
    "mame2.pbm", "zo.pbm",   "toshi2.bold.pbm"};

// Rows of one kanji that ask for different words: gets (month) and tski
// (moon), both 月.
const std::set<std::string> asks_apart = {"gets.pbm", "tski.pbm"};

// An answer of ten letters or fewer must equal a word exactly (apart from
// case), so a short junk answer is accepted only where the same word stands.
const std::set<std::string> function_words = {"A",  "AN", "THE", "TO",  "OF",   "IN",   "BY",
                                              "ON", "AT", "FOR", "IS",  "OR",   "AND",  "NO",
                                              "I",  "BE", "AS",  "WITH", "FROM", "INTO", "IT"};

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The form a learner can answer: one to translation_gloss_limit glosses joined by ", ", each
// gloss words of letters or digits joined by single blanks; nothing glued on.
std::string form_fault(const std::string& text)
{
    if (text.empty() || text.size() > translation_length_limit)
        return "length";
    int glosses = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool word_char = std::isalnum(static_cast<unsigned char>(c));
        if (word_char)
            continue;
        if (c == ',' && i + 2 < text.size() && text[i + 1] == ' ' && i > 0 &&
            std::isalnum(static_cast<unsigned char>(text[i - 1]))) {
            ++glosses;
            ++i;
        } else if (c != ' ' || i == 0 || i + 1 == text.size() ||
                   !std::isalnum(static_cast<unsigned char>(text[i - 1])) ||
                   !std::isalnum(static_cast<unsigned char>(text[i + 1]))) {
            return std::string("character '") + c + "'";
        }
    }
    if (glosses > translation_gloss_limit)
        return "too many glosses";
    return "";
}

std::set<std::string> words_of(const std::string& text)
{
    std::string blanked = text;
    for (char& c : blanked)
        if (std::strchr(word_separators, c))
            c = ' ';
    std::istringstream in(blanked);
    std::set<std::string> words;
    for (std::string word; in >> word;)
        words.insert(upper(word));
    return words;
}

TEST(CatalogueTranslation, EveryChosenTranslationCanBeAnsweredWordForWord)
{
    std::map<std::string, std::pair<std::string, std::set<std::string>>> by_kanji;
    int checked = 0;
    for (int row = kanji_set.first_row; row < kanji_set.first_row + kanji_set.size; ++row) {
        const std::string file = symbol_table[row].image_file;
        const std::string text = symbol_table[row].translation;
        if (settled.count(file))
            continue;
        ++checked;
        const std::string fault = form_fault(text);
        EXPECT_EQ(fault, "") << file << ": \"" << text << "\"";
        const std::set<std::string> words = words_of(text);
        for (const std::string& word : words) {
            EXPECT_GT(word.size(), 1u) << file << ": \"" << text << "\"";
            EXPECT_EQ(function_words.count(word), 0u) << file << ": \"" << text << "\"";
        }
        if (asks_apart.count(file))
            continue;
        auto found = by_kanji.emplace(symbol_characters[row], std::make_pair(file, words));
        EXPECT_EQ(found.first->second.second, words)
            << file << " and " << found.first->second.first << " show the same kanji";
    }
    EXPECT_EQ(checked, kanji_set.size - static_cast<int>(settled.size()));
}

QuizResult answer(const char* image_file, const std::string& word)
{
    for (int row = kanji_set.first_row; row < kanji_set.first_row + kanji_set.size; ++row) {
        if (std::strcmp(symbol_table[row].image_file, image_file) == 0) {
            StreamCapture capture(word + "\n");
            return quiz_translation(symbol_table[row]);
        }
    }
    ADD_FAILURE() << "no kanji row " << image_file;
    return NotAsked;
}

TEST(CatalogueTranslation, LearnersAnswersAcceptedAndJunkRefused)
{
    const struct {
        const char* image_file;
        const char* answer;
        QuizResult verdict;
    } cases[] = {
        {"63.pbm", "man", Right},        {"63.pbm", "men", Right},
        {"129.pbm", "feather", Right},   {"129.pbm", "feathers", Right},
        {"400.pbm", "port", Right},      {"400.pbm", "harbour", Right},
        {"minato.pbm", "harbor", Right}, {"193.pbm", "return", Right},
        {"307.pbm", "shore", Right},     {"307.pbm", "beach", Wrong},
        {"134.pbm", "colour", Right},    {"iro.pbm", "color", Right},
        {"417.pbm", "floor", Right},     {"183.pbm", "fall", Right},
        {"365.pbm", "illness", Right},   {"412.pbm", "light", Right},
        {"262.pbm", "say", Right},       {"293.pbm", "body", Right},
        {"206.pbm", "group", Right},     {"198.pbm", "record", Right},
        {"110.pbm", "a", Wrong},         {"110.pbm", "stand", Right},
        {"452.pbm", "by", Wrong},        {"452.pbm", "of", Wrong},
        {"385.pbm", "no", Wrong},        {"245.pbm", "I", Wrong},
        {"25.pbm", "in", Wrong},         {"193.pbm", "to", Wrong},
    };
    for (const auto& c : cases)
        EXPECT_EQ(answer(c.image_file, c.answer), c.verdict) << c.image_file << " / " << c.answer;
}

}  // namespace
