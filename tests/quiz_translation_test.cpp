#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalogue/catalogue.h"
#include "base/settings.h"
#include "quiz/alignment.h"
#include "quiz/ask.h"
#include "quiz/plain_text.h"
#include "quiz/quiz.h"
#include "quiz/read_word.h"
#include "quiz/words.h"
#include "tests/test_support.h"

namespace {

const std::string prompt = std::string(quit_hint) + " Translation? ";

std::string wrong_report(const SymbolRecord& record)
{
    return std::string("No, wrong answer.\nCorrect answers are:\nTranslations: ") +
           record.translation + "\nReadings:\nOn: " + record.on_reading +
           "\nKun: " + record.kun_reading + "\n";
}

QuizResult ask(const SymbolRecord& record, const std::string& answer, std::string* output)
{
    StreamCapture capture(answer + "\n");
    const QuizResult result = quiz_translation(record);
    *output = capture.output();
    return result;
}

TEST(TranslationQuiz, WorkedExamplesThroughTheCatalogueRows)
{
    struct Case {
        const char* image_file;
        const char* translation;
        const char* answer;
        QuizResult verdict;
    } cases[] = {
        {"15.pbm", "go out, put out, exit, leave", "Exit", Right},
        {"15.pbm", "go out, put out, exit, leave", "leav", Wrong},
        {"15.pbm", "go out, put out, exit, leave", "going", Wrong},
        {"6.pbm", "big, large , great", "Large", Right},
        {"6.pbm", "big, large , great", "LARGE", Right},
        {"6.pbm", "big, large , great", "large", Right},
        {"279.pbm", "occupation, to run (business)", "Occupation", Right},
        {"279.pbm", "occupation, to run (business)", "occupasion", Wrong},
        {"279.pbm", "occupation, to run (business)", "business", Wrong},
        {"279.pbm", "occupation, to run (business)", "(business)", Right},
        {"167.pbm", "lightning, electricity", "electrisity", Right},
        {"167.pbm", "lightning, electricity", "electricty", Wrong},
        {"164.pbm", "worker, construction", "constructio", Right},
        {"164.pbm", "worker, construction", "onstruction", Right},
        {"164.pbm", "worker, construction", "constructions", Right},
        {"164.pbm", "worker, construction", "constrution", Wrong},
        {"72.pbm", "promise, approximately, about", "aproximately", Wrong},
        {"421.pbm", "border, fate, circumstances", "circumstance", Right},
        {"131.pbm", "family, Mr.", "mr", Right},
        {"131.pbm", "family, Mr.", "Mr.", Wrong},
        {"241.pbm", "half, semi-, middle", "semi-", Wrong},
        {"241.pbm", "half, semi-, middle", "semi", Right},
        {"217.pbm", "one-hundred million", "hundred", Right},
        {"217.pbm", "one-hundred million", "one-hundred", Wrong},
    };
    for (const Case& c : cases) {
        const SymbolRecord& record = record_named(Kanji, c.image_file);
        ASSERT_STREQ(record.translation, c.translation);
        std::string output;
        EXPECT_EQ(ask(record, c.answer, &output), c.verdict) << c.answer;
        const std::string verdict = c.verdict == Right ? "That's right!\n" : wrong_report(record);
        EXPECT_EQ(output, prompt + verdict) << c.answer;
    }
}

TEST(TranslationQuiz, WrongAnswerReportPutsTheTranslationFirst)
{
    std::string output;
    EXPECT_EQ(ask(record_named(Kanji, "15.pbm"), "leav", &output), Wrong);
    EXPECT_EQ(output, prompt +
                          "No, wrong answer.\nCorrect answers are:\n"
                          "Translations: go out, put out, exit, leave\nReadings:\nOn: -\nKun: -\n");
}

TEST(TranslationQuiz, ShortfallAllowedGrowsWithTheLongerLength)
{
    // One wrong letter in a word of length L is right only from L = 11 on,
    // two from L = 21 on; exactly nine tenths (9/10, 18/20, 27/30) fails.
    const std::string thirty = "abcdefghijklmnopqrstuvwxyzabcd";
    struct Case {
        std::string word;
        std::string answer;
        QuizResult verdict;
    } cases[] = {
        {"abcdefghij", "abcdefghiX", Wrong},
        {"abcdefghijk", "abcdefghijX", Right},
        {"abcdefghijklmnopqrst", "abcdefghijklmnopqrsX", Right},
        {"abcdefghijklmnopqrst", "abcdefghijklmnopqrXX", Wrong},
        {thirty, "abcdefghijklmnopqrstuvwxyzaXXX", Wrong},
        {thirty, "abcdefghijklmnopqrstuvwxyzabXX", Right},
        {"abcdefghijklmnopqrstu", "abcdefghijklmnopqrsXX", Right},
        {"abcdefghijklmnopqrstu", "abcdefghijklmnopqrXXX", Wrong},
        {"a", "A", Right},
        {"a", "b", Wrong},
    };
    for (const Case& c : cases) {
        const std::string translation = "x, " + c.word;
        const SymbolRecord record{"t.pbm", translation.c_str(), "-", "-"};
        std::string output;
        EXPECT_EQ(ask(record, c.answer, &output), c.verdict) << c.word << " / " << c.answer;
    }
}

TEST(TranslationQuiz, HighBytesAreComparedUnchanged)
{
    const SymbolRecord record{"t.pbm", "caf\xe9, na\xefve", "-", "-"};
    std::string output;
    EXPECT_EQ(ask(record, "CAF\xe9", &output), Right);
    EXPECT_EQ(ask(record, "NA\xcfVE", &output), Wrong);
    EXPECT_EQ(ask(record, "naive", &output), Wrong);
}

TEST(TranslationQuiz, ATranslationWithoutWordsIsAlwaysWrong)
{
    const SymbolRecord record{"t.pbm", " ,. ", "-", "x"};
    std::string output;
    EXPECT_EQ(ask(record, "anything", &output), Wrong);
    EXPECT_EQ(output, prompt + wrong_report(record));
}

TEST(TranslationQuiz, NothingIsAskedWithoutATranslation)
{
    const SymbolRecord& syllable = symbol_table[set_table[Hiragana - 1].first_row];
    ASSERT_TRUE(is_absent(syllable.translation));
    StreamCapture capture("a\n");
    EXPECT_EQ(quiz_translation(syllable), NotAsked);
    EXPECT_EQ(capture.output(), "");
    EXPECT_EQ(std::ftell(settings.input), 0);
}

TEST(TranslationQuiz, AWordStartingWithAPeriodQuitsSilently)
{
    for (const char* answer : {".", "...", ".exit"}) {
        std::string output;
        EXPECT_EQ(ask(record_named(Kanji, "15.pbm"), answer, &output), Quit) << answer;
        EXPECT_EQ(output, prompt) << answer;
    }
}

TEST(TranslationQuiz, OnlyTheWrongAnswerReportIsFlushedAndTheAnswerIsUpperCased)
{
    StreamCapture capture("exit leav\n");
    EXPECT_EQ(quiz_translation(record_named(Kanji, "15.pbm")), Right);
    EXPECT_STREQ(answer_buffer, "EXIT");
    EXPECT_EQ(capture.output_size, prompt.size());
    EXPECT_EQ(quiz_translation(record_named(Kanji, "15.pbm")), Wrong);
    EXPECT_EQ(capture.output_size, capture.output().size());
    // The record itself is never changed.
    EXPECT_STREQ(record_named(Kanji, "15.pbm").translation, "go out, put out, exit, leave");
}

TEST(TranslationQuiz, TheEndOfTheInputQuitsWithoutJudgingTheLastWordAgain)
{
    StreamCapture capture("exit");
    EXPECT_EQ(quiz_translation(record_named(Kanji, "15.pbm")), Right);
    EXPECT_EQ(quiz_translation(record_named(Kanji, "15.pbm")), Quit);
    EXPECT_EQ(capture.output(), prompt + "That's right!\n" + prompt);
}

TEST(TranslationQuiz, AnOverLongAnswerIsCutAndItsRestDropped)
{
    StreamCapture capture(std::string(400, 'x') + " exit\n");
    EXPECT_EQ(quiz_translation(record_named(Kanji, "15.pbm")), Wrong);
    EXPECT_EQ(std::string(answer_buffer), std::string(255, 'X'));
    EXPECT_EQ(quiz_translation(record_named(Kanji, "15.pbm")), Right);
}

}  // namespace
