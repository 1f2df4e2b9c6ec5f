#include <gtest/gtest.h>

#include <cstring>
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
#include "glyph/glyph.h"
#include "quiz/alignment.h"
#include "quiz/ask.h"
#include "quiz/plain_text.h"
#include "quiz/quiz.h"
#include "quiz/read_word.h"
#include "quiz/words.h"
#include "tests/test_support.h"

namespace {

const std::string reading_prompt = std::string(quit_hint) + " Reading? ";
const std::string translation_prompt = std::string(quit_hint) + " Translation? ";
const std::string farewell = "Have a nice day!\n";

// Coin values: strictly above one half asks for a reading; one half exactly
// and below ask for the translation.
const int coin_reading = 1073741825;
const int coin_half = 1073741824;
const int coin_low = 0;

// The generator values that make pick_symbol give this row of this set at
// its first attempt, followed by the coin.
std::vector<int> question(SymbolSet set, const char* image_file, int coin)
{
    const SetInfo& info = set_table[set - 1];
    const int offset = static_cast<int>(&record_named(set, image_file) - symbol_table) - info.first_row;
    const double scale = 2147483648.0;
    return {static_cast<int>((set - 0.5) / set_count * scale),
            static_cast<int>((offset + 0.5) / info.size * scale), coin};
}

std::vector<int> script(std::initializer_list<std::vector<int>> questions)
{
    std::vector<int> values;
    for (const std::vector<int>& q : questions)
        values.insert(values.end(), q.begin(), q.end());
    return values;
}

// A picture file for every row, all with the same drawing, so that what a
// run prints does not depend on which symbol it draws.
class TestDriver : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        symbols = new SymbolDirectory("P1\n2 2\n1 0 0 1\n");
        directory = &symbols->path();
        // What the glyph display prints for that drawing.
        StreamCapture capture;
        settings.symbol_path = directory->c_str();
        current_set_directory = set_table[0].directory;
        open_glyph(&symbol_table[0]);
        render_glyph(&symbol_table[0]);
        picture = new std::string(capture.output());
    }

    static void TearDownTestSuite()
    {
        delete symbols;
        delete picture;
    }

    // Settings for an in-process run: defaults, this picture directory.
    static void use_pictures() { settings.symbol_path = directory->c_str(); }

    // Runs the test modes and the end of the run; gives all that was written.
    static std::string run_to_the_end(StreamCapture& capture)
    {
        run_test();
        finish_run();
        return std::string(capture.output_data, capture.output_size);
    }

    static SymbolDirectory* symbols;
    static const std::string* directory;
    static std::string* picture;
};

SymbolDirectory* TestDriver::symbols = nullptr;
const std::string* TestDriver::directory = nullptr;
std::string* TestDriver::picture = nullptr;

// Test once: one question, right or wrong, and no farewell.
TEST_F(TestDriver, TheCoinChoosesTheQuestion)
{
    struct Case {
        SymbolSet set;
        const char* image_file;
        int coin;
        std::string answer;
        std::string transcript_after_picture;
    } cases[] = {
        {Hiragana, "ka.3.pbm", coin_reading, "ka", reading_prompt + "That's right!\n"},
        {Kanji, "hana2.pbm", coin_reading, "hana2", reading_prompt + "That's right!\n"},
        {Kanji, "hana2.pbm", coin_half, "Nose", translation_prompt + "That's right!\n"},
        {Kanji, "hana2.pbm", coin_low, "hana2",
         translation_prompt +
             "No, wrong answer.\nCorrect answers are:\nTranslations: nose\nReadings:\nOn: -\n"
             "Kun: hana2\n"},
    };
    for (const Case& c : cases) {
        StreamCapture capture(c.answer + "\n");
        use_pictures();
        settings.loop_mode = 'n';
        settings.use_hiragana = c.set == Hiragana ? 'y' : 'n';
        settings.use_kanji = c.set == Kanji ? 'y' : 'n';
        ScriptedRandom random(question(c.set, c.image_file, c.coin));
        EXPECT_EQ(run_to_the_end(capture), *picture + c.transcript_after_picture)
            << c.image_file << " coin " << c.coin;
        EXPECT_EQ(random.used(), 3u);
    }
}

TEST_F(TestDriver, SymbolsLackingTheAskedFieldArePassedOverSilently)
{
    // A syllable asked for its translation, a numbered kanji asked for its
    // reading: neither shows anything; the third pick is asked.
    StreamCapture capture("shi\n");
    use_pictures();
    settings.loop_mode = 'n';
    settings.use_kanji = 'y';
    ScriptedRandom random(script({question(Hiragana, "ka.3.pbm", coin_half),
                                  question(Kanji, "15.pbm", coin_reading),
                                  question(Hiragana, "shi.1.pbm", coin_reading)}));
    EXPECT_EQ(run_to_the_end(capture), *picture + reading_prompt + "That's right!\n");
    EXPECT_EQ(random.used(), 9u);
}

TEST_F(TestDriver, TestLoopGoesOnUntilAPeriodAndSaysFarewell)
{
    StreamCapture capture("ka\nki\n.shi ka\n");
    use_pictures();
    settings.use_kanji = 'y';
    ScriptedRandom random(script({question(Hiragana, "ka.3.pbm", coin_reading),
                                  question(Hiragana, "ka.3.pbm", coin_reading),
                                  question(Kanji, "6.pbm", coin_low)}));
    EXPECT_EQ(run_to_the_end(capture),
              *picture + reading_prompt + "That's right!\n" + *picture + reading_prompt +
                  "No, the answer is wrong.\nCorrect answers are:\nReadings:\nOn: ka\nKun: ka\n"
                  "Translations: -\n" +
                  *picture + translation_prompt + farewell);
    EXPECT_EQ(random.used(), 9u);
}

TEST_F(TestDriver, TheEndOfTheInputEndsTheLoopAsAPeriodWould)
{
    StreamCapture capture("ka\n");
    use_pictures();
    ScriptedRandom random(script({question(Hiragana, "ka.3.pbm", coin_reading),
                                  question(Hiragana, "ka.3.pbm", coin_reading)}));
    EXPECT_EQ(run_to_the_end(capture),
              *picture + reading_prompt + "That's right!\n" + *picture + reading_prompt + farewell);
}

// Whole runs of the built program. The clock seeds its generator, so these
// check what does not depend on the symbol drawn.

TEST_F(TestDriver, ProgramRunsAHiraganaReadingDrillByDefault)
{
    const ProgramRun run = run_program({"-p", *directory}, "xyz\n.\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.error, "");
    const std::string head = *picture + reading_prompt +
                             "No, the answer is wrong.\nCorrect answers are:\nReadings:\nOn: ";
    const std::string tail = "\nTranslations: -\n" + *picture + reading_prompt + farewell;
    ASSERT_GT(run.output.size(), head.size() + tail.size());
    EXPECT_EQ(run.output.substr(0, head.size()), head);
    EXPECT_EQ(run.output.substr(run.output.size() - tail.size()), tail);
    // Every syllable has the same on and kun reading.
    const std::string middle =
        run.output.substr(head.size(), run.output.size() - head.size() - tail.size());
    const size_t kun = middle.find("\nKun: ");
    ASSERT_NE(kun, std::string::npos) << middle;
    EXPECT_EQ(middle.substr(0, kun), middle.substr(kun + 6)) << middle;
}

TEST_F(TestDriver, ProgramTestOnceEndsWithoutFarewell)
{
    const ProgramRun run = run_program({"-l", "-p", *directory}, ".\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, *picture + reading_prompt);
}

TEST_F(TestDriver, ProgramEndsTheLoopAtTheEndOfItsInput)
{
    const ProgramRun run = run_program({"-p", *directory});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, *picture + reading_prompt + farewell);
}

TEST_F(TestDriver, ProgramAsksOnlyReadingsOfSyllables)
{
    std::string input;
    for (int i = 0; i < 20; ++i)
        input += "xyz\n";
    const ProgramRun run = run_program({set_switch('+', Katakana), "-p", *directory}, input);
    EXPECT_EQ(run.status, 0);
    size_t questions = 0;
    for (size_t at = run.output.find(reading_prompt); at != std::string::npos;
         at = run.output.find(reading_prompt, at + 1))
        ++questions;
    EXPECT_EQ(questions, 21u);
    EXPECT_EQ(run.output.find("Translation?"), std::string::npos);
}

TEST_F(TestDriver, ProgramFailsWhenItsOutputCannotBeWritten)
{
    const ProgramRun run = run_program({"-o", "/dev/full", "-p", *directory}, ".\n");
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.error, "");
}

}  // namespace
