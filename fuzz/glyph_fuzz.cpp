// Arbitrary bytes as a glyph file, under arbitrary limits and switches,
// through the header reader and the renderer. The first three bytes choose
// the width limit, the height limit and the switches; the rest is the file.
// Besides the sanitizers' findings, a picture that is not a block of equal
// lines within the limits, drawn from the switches' characters, aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalogue/catalogue.h"
#include "control/settings.h"
#include "glyph/glyph.h"

// What the rest of the program would supply: the settings, the directory of
// the picked set, and a failure that ends the input instead of the process.
Settings settings;
const char* current_set_directory = "/Hiragana/";

namespace {

struct FailedRun {};

const SymbolRecord record{"a.1.pbm", "-", "a", "a"};

void check_picture(const char* text, size_t size)
{
    const int32_t max_width = settings.max_width < 1 ? 1 : settings.max_width;
    const int32_t max_height = settings.max_height < 1 ? 1 : settings.max_height;
    const int32_t columns =
        glyph_header.width < max_width ? glyph_header.width : max_width;
    const char* shades = settings.reverse != 'n' ? (settings.grey_shades != 'n' ? "#:. " : "O ")
                                                 : (settings.grey_shades != 'n' ? " .:#" : " O");
    int64_t lines = 0;
    size_t at = 0;
    while (at < size) {
        const char* end = static_cast<const char*>(std::memchr(text + at, '\n', size - at));
        if (!end || end - (text + at) != columns)
            std::abort();
        for (const char* c = text + at; c < end; ++c) {
            if (!std::strchr(shades, *c))
                std::abort();
        }
        at = static_cast<size_t>(end - text) + 1;
        ++lines;
    }
    if (lines > max_height || lines > glyph_header.height)
        std::abort();
}

}  // namespace

[[noreturn]] void fail_run()
{
    throw FailedRun{};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    settings = Settings{};
    settings.max_width = static_cast<int32_t>(data[0]) - 3;
    settings.max_height = static_cast<int32_t>(data[1]) - 3;
    const char letters[] = "nynx";
    settings.grey_shades = letters[data[2] & 3];
    settings.reverse = letters[(data[2] >> 2) & 3];

    char* printed = nullptr;
    size_t printed_size = 0;
    settings.output = open_memstream(&printed, &printed_size);
    FILE* glyph = fmemopen(const_cast<uint8_t*>(data + 3), size - 3, "r");
    if (!settings.output || !glyph)
        std::abort();
    bool rendered = false;
    try {
        read_glyph_header(glyph);
        settings.glyph_stream = glyph;
        render_glyph(&record);
        rendered = true;
    } catch (const FailedRun&) {
        // A malformed header ends the run; the file is still open then.
        std::fclose(glyph);
    }
    if (rendered && settings.glyph_stream)
        std::abort();   // the renderer must close the file
    std::fclose(settings.output);
    if (rendered)
        check_picture(printed, printed_size);
    std::free(printed);
    return 0;
}
