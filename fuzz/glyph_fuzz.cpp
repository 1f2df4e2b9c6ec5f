// Arbitrary bytes as a glyph file, under arbitrary limits and switches,
// through the header reader and the renderer, compared byte for byte with the
// pixel-by-pixel model of tests/reference_render. The first byte chooses the
// switches and whether each limit is a small number (its next byte, less 3)
// or any int (its next four bytes); the width limit takes bytes 1 to 4, the
// height limit bytes 5 to 8, and the rest is the file. Any difference, or a
// file the renderer leaves open, aborts.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "catalogue/catalogue.h"
#include "base/end_process.h"
#include "base/settings.h"
#include "glyph/glyph.h"
#include "tests/reference_render.h"

namespace {

struct EndedRun {};

const SymbolRecord record{"a.1.pbm", "-", "a", "a"};

// Work allowed per input: pixels for the model, bytes of text and output
// columns for the renderer. Larger pictures are left alone.
constexpr uint64_t most_pixels = uint64_t(1) << 22;
constexpr uint64_t most_text = uint64_t(1) << 22;
constexpr uint64_t most_columns = uint64_t(1) << 20;

int32_t limit_from(const uint8_t* bytes, bool any_int)
{
    if (!any_int)
        return static_cast<int32_t>(bytes[0]) - 3;
    uint32_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return static_cast<int32_t>(value);
}

[[noreturn]] void differ(const char* what)
{
    std::fprintf(stderr, "glyph fuzz: %s\n", what);
    std::abort();
}

}  // namespace

// A failure inside the header reader or the renderer comes back here rather
// than ending the process.
void end_process(int)
{
    throw EndedRun{};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 9)
        return 0;
    const char letters[] = "nynx";
    Limits limits;
    limits.grey_shades = letters[data[0] & 3];
    limits.reverse = letters[(data[0] >> 2) & 3];
    limits.max_width = limit_from(data + 1, data[0] & 16);
    limits.max_height = limit_from(data + 5, data[0] & 32);
    const std::string file(reinterpret_cast<const char*>(data + 9), size - 9);

    if (file.empty())
        return 0;
    const ReferenceHeader expected = reference_header(file);
    FILE* glyph = fmemopen(const_cast<char*>(file.data()), file.size(), "r");
    if (!glyph)
        std::abort();
    bool header_read = false;
    try {
        read_glyph_header(glyph);
        header_read = true;
    } catch (const EndedRun&) {
    }
    if (header_read != expected.read)
        differ("the header reader and the model disagree on whether the header is whole");
    if (!header_read) {
        std::fclose(glyph);
        return 0;
    }
    if (glyph_header.magic != expected.magic || glyph_header.width != expected.width ||
        glyph_header.height != expected.height ||
        std::ftell(glyph) != static_cast<long>(expected.raster_start))
        differ("the header reader and the model read different headers");

    const uint64_t width = static_cast<uint64_t>(expected.width);
    const uint64_t height = static_cast<uint64_t>(expected.height);
    const uint64_t columns = std::min<uint64_t>(width, limits.max_width < 1 ? 1 : limits.max_width);
    const uint64_t lines = std::min<uint64_t>(height, limits.max_height < 1 ? 1 : limits.max_height);
    if (columns > most_columns || (columns + 1) * lines > most_text) {
        std::fclose(glyph);
        return 0;
    }

    settings = Settings{};
    settings.max_width = limits.max_width;
    settings.max_height = limits.max_height;
    settings.grey_shades = limits.grey_shades;
    settings.reverse = limits.reverse;
    char* printed = nullptr;
    size_t printed_size = 0;
    settings.output = open_memstream(&printed, &printed_size);
    if (!settings.output)
        std::abort();
    settings.glyph_stream = glyph;
    try {
        render_glyph(&record);
    } catch (const EndedRun&) {
        differ("the renderer failed");
    }
    if (settings.glyph_stream)
        differ("the renderer left the file open");
    std::fclose(settings.output);
    const std::string text(printed, printed_size);
    std::free(printed);
    // The model's work grows with both sides, even where the other is 0.
    if (width <= most_pixels && height <= most_pixels && width * height <= most_pixels) {
        const Picture picture = reference_samples(
            expected.magic, expected.width, expected.height, file.substr(expected.raster_start));
        if (text != reference_render(picture, limits))
            differ("the renderer and the model print different pictures");
    }
    return 0;
}
