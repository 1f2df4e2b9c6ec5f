// Reducing the picture to character cells and printing them: image columns
// fall into output columns in runs, rows into printed lines in bands, and
// each cell prints the shade of its samples' average.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/fail.h"
#include "base/settings.h"
#include "glyph/cells.h"
#include "glyph/open_glyph.h"
#include "glyph/render_glyph.h"
#include "glyph/samples.h"

namespace {

// The cells of one line: for each output column its run of image columns
// and the sum of the samples of the band so far. Kept from one picture to
// the next, since a drill shows pictures of one size after another; they
// grow only with the output width, never with the picture.
struct Cells {
    int32_t width = -1;
    int32_t output_width = -1;
    int64_t* runs = nullptr;
    int64_t* sums = nullptr;
    // The printed lines, text_room bytes or a longer line, written out when
    // the next line would not fit and at the end: a small picture takes one
    // write.
    char* text = nullptr;
    size_t text_used = 0;
};
constexpr size_t text_room = 4096;

void fit_cells(Cells& cells, int32_t width, int32_t output_width, double ratio)
{
    if (cells.runs && width == cells.width && output_width == cells.output_width)
        return;
    std::free(cells.runs);
    const size_t count = static_cast<size_t>(output_width);
    const size_t bytes = 2 * count * sizeof(int64_t) + count + 1 + text_room;
    cells.runs = static_cast<int64_t*>(std::malloc(bytes));
    if (!cells.runs)
        fail_run();
    cells.sums = cells.runs + count;
    cells.text = reinterpret_cast<char*>(cells.sums + count);
    cells.width = width;
    cells.output_width = output_width;
    column_runs(width, output_width, ratio, cells.runs);
}

// Prints the band of `rows` rows as one line and empties the cells. A cell
// that no image column maps to prints blank.
void print_line(Cells& cells, int64_t rows, const char* characters)
{
    const int32_t output_width = cells.output_width;
    const size_t line_size = static_cast<size_t>(output_width) + 1;
    if (cells.text_used + line_size > text_room) {
        std::fwrite(cells.text, 1, cells.text_used, settings.output);
        cells.text_used = 0;
    }
    const int64_t* const runs = cells.runs;
    int64_t* const sums = cells.sums;
    char* const text = cells.text + cells.text_used;
    ShadeSteps steps;
    for (int32_t k = 0; k < output_width; ++k) {
        const int64_t count = runs[k] * rows;
        if (count != steps.count)
            steps = shade_steps(count);
        text[k] = count ? characters[cell_shade_level(sums[k], steps)] : ' ';
        sums[k] = 0;
    }
    text[output_width] = '\n';
    cells.text_used += line_size;
}

}  // namespace

void render_glyph(const SymbolRecord* record)
{
    if (!record || !settings.glyph_stream)
        return;
    // Limits below 1 would leave no room for the samples: they count as 1.
    const int32_t max_width = std::max(settings.max_width, 1);
    const int32_t max_height = std::max(settings.max_height, 1);
    const int32_t width = std::max(glyph_header.width, 0);
    const int32_t height = std::max(glyph_header.height, 0);
    // Pictures are only reduced, never enlarged; both comparisons are strict.
    const double across = max_width < width ? static_cast<double>(max_width) / width : 1.0;
    const int32_t output_width = std::min(max_width, width);
    const double down = max_height < height ? static_cast<double>(max_height) / height : 1.0;

    static Cells cells;
    fit_cells(cells, width, output_width, across);
    std::fill_n(cells.sums, output_width, 0);
    const char* characters = shade_characters(settings.grey_shades, settings.reverse);
    SampleReader reader;
    start_samples(reader, settings.glyph_stream, glyph_header.magic, width, height);

    // A line is printed each time the accumulator reaches 1.0; it covers the
    // band of rows read since the last one. Rows after the last line are
    // read but never printed. Rows are read one by one while the file lasts;
    // past its end (and in rows of no pixels) every sample is the same, so
    // whole bands of rows are taken at once.
    const int64_t sample = sample_past_end(glyph_header.magic);
    double accumulator = 0.0;
    int64_t band = 0;
    for (int64_t left = height; left > 0;) {
        int64_t rows = 1;
        bool line = false;
        if (width > 0 && !reader.ended) {
            add_row(reader, cells.runs, cells.sums, output_width);
            accumulator += down;
            line = accumulator >= 1.0;
        } else {
            rows = advance_lines(accumulator, down, left, line);
            for (int32_t k = 0; k < output_width; ++k)
                cells.sums[k] += sample * cells.runs[k] * rows;
        }
        band += rows;
        left -= rows;
        if (line) {
            print_line(cells, band, characters);
            band = 0;
            accumulator -= 1.0;
        }
    }
    std::fwrite(cells.text, 1, cells.text_used, settings.output);
    cells.text_used = 0;
    flush_output();
    std::fclose(settings.glyph_stream);
    settings.glyph_stream = nullptr;
}
