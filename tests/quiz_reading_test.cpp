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

// The prompt as the learner reads it, byte for byte; the other tests take the
// hint from the program.
const std::string prompt = "(Enter . to quit) Reading? ";

std::string wrong_report(const SymbolRecord& record)
{
    return std::string("No, the answer is wrong.\nCorrect answers are:\nReadings:\nOn: ") +
           record.on_reading + "\nKun: " + record.kun_reading +
           "\nTranslations: " + record.translation + "\n";
}

TEST(ReadingQuiz, JudgesByExactEqualityWithEitherReading)
{
    const SymbolRecord& shi = record_named(Hiragana, "shi.1.pbm");
    const SymbolRecord& nose = record_named(Kanji, "hana2.pbm");
    const SymbolRecord& ka = record_named(Katakana, "ka.3.pbm");
    struct Case {
        const SymbolRecord& record;
        std::string answer;
        QuizResult result;
    } cases[] = {
        {shi, "shi", Right},    {shi, "SHI", Wrong},   {shi, "si", Wrong},
        {shi, "shi2", Wrong},   {nose, "hana", Wrong}, {nose, "hana2", Right},
        {nose, "HANA2", Wrong}, {ka, "ka", Right},     {ka, "\tka\n", Right},
        // The absent marker is never an answer, even where a reading holds it.
        {nose, "-", Wrong},
    };
    for (const Case& c : cases) {
        StreamCapture capture(c.answer);
        EXPECT_EQ(quiz_reading(c.record), c.result) << c.answer;
        const std::string verdict = c.result == Right ? "That's right!\n" : wrong_report(c.record);
        EXPECT_EQ(capture.output(), prompt + verdict) << c.answer;
    }
}

TEST(ReadingQuiz, WrongAnswerReportForTheNoseKanji)
{
    StreamCapture capture("hana\n");
    EXPECT_EQ(quiz_reading(record_named(Kanji, "hana2.pbm")), Wrong);
    EXPECT_EQ(capture.output(), prompt +
                                    "No, the answer is wrong.\nCorrect answers are:\nReadings:\n"
                                    "On: -\nKun: hana2\nTranslations: nose\n");
}

TEST(ReadingQuiz, AWordStartingWithAPeriodQuitsSilently)
{
    for (const char* answer : {".", "...", ".shi", "  .\n"}) {
        StreamCapture capture(answer);
        EXPECT_EQ(quiz_reading(record_named(Hiragana, "shi.1.pbm")), Quit) << answer;
        EXPECT_EQ(capture.output(), prompt) << answer;
    }
}

TEST(ReadingQuiz, NothingIsAskedWithoutReadings)
{
    StreamCapture capture("shi\n");
    // A numbered kanji: "-" in both reading fields.
    EXPECT_EQ(quiz_reading(record_named(Kanji, "15.pbm")), NotAsked);
    EXPECT_EQ(capture.output(), "");
    EXPECT_EQ(std::ftell(settings.input), 0);
}

TEST(ReadingQuiz, ASecondWordOnTheLineAnswersTheNextQuestion)
{
    StreamCapture capture("ka ki\n");
    EXPECT_EQ(quiz_reading(record_named(Hiragana, "ka.3.pbm")), Right);
    EXPECT_EQ(quiz_reading(record_named(Hiragana, "ki.1.pbm")), Right);
    EXPECT_EQ(capture.output(), prompt + "That's right!\n" + prompt + "That's right!\n");
}

TEST(ReadingQuiz, OnlyTheWrongAnswerReportIsFlushed)
{
    StreamCapture capture("shi si\n");
    EXPECT_EQ(quiz_reading(record_named(Hiragana, "shi.1.pbm")), Right);
    // The memory stream's size counts only what has been flushed.
    EXPECT_EQ(capture.output_size, prompt.size());
    EXPECT_EQ(quiz_reading(record_named(Hiragana, "shi.1.pbm")), Wrong);
    EXPECT_EQ(capture.output_size, capture.output().size());
    EXPECT_EQ(capture.output(), prompt + "That's right!\n" + prompt +
                                    wrong_report(record_named(Hiragana, "shi.1.pbm")));
}

TEST(ReadingQuiz, TheEndOfTheInputQuitsWithoutJudgingTheLastWordAgain)
{
    StreamCapture capture("ka\n");
    EXPECT_EQ(quiz_reading(record_named(Hiragana, "ka.3.pbm")), Right);
    EXPECT_EQ(quiz_reading(record_named(Hiragana, "ka.3.pbm")), Quit);
    EXPECT_EQ(capture.output(), prompt + "That's right!\n" + prompt);

    StreamCapture empty("  \n\n");
    EXPECT_EQ(quiz_reading(record_named(Hiragana, "ka.3.pbm")), Quit);
    EXPECT_EQ(empty.output(), prompt);
}

TEST(ReadingQuiz, AnOverLongWordIsCutAndItsRestDropped)
{
    StreamCapture capture(std::string(300, 'k') + "a ka\n");
    EXPECT_EQ(quiz_reading(record_named(Hiragana, "ka.3.pbm")), Wrong);
    EXPECT_EQ(std::string(answer_buffer), std::string(255, 'k'));
    EXPECT_EQ(quiz_reading(record_named(Hiragana, "ka.3.pbm")), Right);
    EXPECT_STREQ(answer_buffer, "ka");
}

}  // namespace
