// Reducing the picture to character cells and printing them: image columns
// fall into output columns in runs, rows into printed lines in bands, and
// each cell prints the shade of its samples' average.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "control/fail.h"
#include "control/settings.h"
#include "glyph/cells.h"
#include "glyph/glyph.h"
#include "glyph/samples.h"

int64_t output_column(int64_t column, double ratio)
{
    return static_cast<int64_t>(static_cast<long double>(column) * static_cast<long double>(ratio));
}

// The first image column that maps to output column k or beyond.
static int64_t first_column_of(int64_t k, int32_t width, double ratio)
{
    const long double estimate = std::ceil(static_cast<long double>(k) / ratio);
    int64_t column = estimate < 0 ? 0 : estimate > width ? width : static_cast<int64_t>(estimate);
    while (column > 0 && output_column(column - 1, ratio) >= k)
        --column;
    while (column < width && output_column(column, ratio) < k)
        ++column;
    return column;
}

void column_runs(int32_t width, int32_t output_width, double ratio, int64_t* runs)
{
    int64_t begin = 0;
    for (int32_t k = 0; k < output_width; ++k) {
        // The last output column also takes anything the mapping would put
        // beyond it, so no sample can land outside the cells.
        const int64_t next = k + 1 == output_width ? width : first_column_of(k + 1, width, ratio);
        runs[k] = next - begin;
        begin = next;
    }
}

// Within one binade [top/2, top) of the accumulator every double is a
// multiple of the same unit, so once one addition has been rounded there
// (settling a tie to an even multiple), each further addition that stays
// below top adds the same rounded step. Such a stretch is taken in one go;
// only the rows that cross into the next binade are added one by one. Below
// 1.0 there are at most a few dozen binades to cross.
int64_t advance_lines(double& accumulator, double ratio, int64_t rows, bool& line)
{
    line = false;
    int64_t taken = 0;
    while (taken < rows) {
        if (accumulator >= 0x1p-900 && accumulator < 1.0 && rows - taken > 2) {
            int exponent;
            std::frexp(accumulator, &exponent);
            const double top = std::ldexp(1.0, exponent);
            const double first = accumulator + ratio;
            const double second = first + ratio;
            if (second < top) {
                const double unit = std::ldexp(1.0, exponent - 53);
                const int64_t step = static_cast<int64_t>((second - first) / unit);
                const int64_t room = static_cast<int64_t>((top - second) / unit);
                int64_t more = step > 0 ? (room - 1) / step : 0;
                if (more > rows - taken - 2)
                    more = rows - taken - 2;
                accumulator = second + static_cast<double>(more) * (second - first);
                taken += 2 + more;
                continue;
            }
        }
        accumulator += ratio;
        ++taken;
        if (accumulator >= 1.0) {
            line = true;
            return taken;
        }
    }
    return taken;
}

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
