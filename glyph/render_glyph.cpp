#include <cstdio>
#include <cstdlib>

#include "control/settings.h"
#include "glyph/glyph.h"
#include "glyph/raster.h"

namespace {

// One picture in progress: the cells of the current band of rows.
struct Cells {
    int32_t width = 0;         // output width
    int64_t* runs = nullptr;   // image columns per output column
    int64_t* sums = nullptr;   // sample sums of the band, per output column
    int64_t rows = 0;          // rows in the band so far
};

void* allocate_cells(int32_t count, size_t size)
{
    // Room for at least one, so that an empty picture is no failed allocation.
    void* cells = std::calloc(count > 0 ? static_cast<size_t>(count) : 1, size);
    if (!cells)
        fail_run();
    return cells;
}

// Prints the band as one line and empties the cells. A cell that no image
// column maps to (possible only for enormous pictures) prints blank.
void print_line(Cells& cells, const char* characters, FILE* output)
{
    char line[4096];
    size_t used = 0;
    for (int32_t k = 0; k < cells.width; ++k) {
        const int64_t count = cells.runs[k] * cells.rows;
        line[used++] = count ? characters[cell_shade_level(cells.sums[k], count)] : ' ';
        cells.sums[k] = 0;
        if (used == sizeof line) {
            std::fwrite(line, 1, used, output);
            used = 0;
        }
    }
    line[used++] = '\n';
    std::fwrite(line, 1, used, output);
    cells.rows = 0;
}

}  // namespace

void render_glyph(const SymbolRecord* record)
{
    if (!record || !settings.glyph_stream)
        return;
    // Limits below 1 would leave no room for the samples: they count as 1.
    const int32_t max_width = settings.max_width < 1 ? 1 : settings.max_width;
    const int32_t max_height = settings.max_height < 1 ? 1 : settings.max_height;
    const int32_t width = glyph_header.width < 0 ? 0 : glyph_header.width;
    const int32_t height = glyph_header.height < 0 ? 0 : glyph_header.height;
    const char magic = glyph_header.magic;

    const double across = max_width < width ? static_cast<double>(max_width) / width : 1.0;
    const double down = max_height < height ? static_cast<double>(max_height) / height : 1.0;
    Cells cells;
    cells.width = max_width < width ? max_width : width;
    cells.runs = static_cast<int64_t*>(allocate_cells(cells.width, sizeof(int64_t)));
    cells.sums = static_cast<int64_t*>(allocate_cells(cells.width, sizeof(int64_t)));
    column_runs(width, cells.width, across, cells.runs);
    const char* characters = shade_characters(settings.grey_shades, settings.reverse);

    RasterReader reader;
    start_reader(reader, settings.glyph_stream, raster_size(magic, width, height));
    double accumulator = 0.0;
    int32_t row = 0;
    // Rows are read one by one until the file ends (or a row needs no bytes).
    for (; row < height && !reader.ended && width > 0; ++row) {
        add_raster_row(magic, reader, cells.runs, cells.width, cells.sums);
        ++cells.rows;
        accumulator += down;
        if (accumulator >= 1.0) {
            print_line(cells, characters, settings.output);
            accumulator -= 1.0;
        }
    }
    // From here every sample is the same constant: whole bands at a time.
    const int64_t sample = sample_past_end(magic);
    for (int64_t rows_left = height - row; rows_left > 0;) {
        bool line = false;
        const int64_t rows = advance_lines(accumulator, down, rows_left, line);
        if (sample != 0) {
            for (int32_t k = 0; k < cells.width; ++k)
                cells.sums[k] += sample * cells.runs[k] * rows;
        }
        cells.rows += rows;
        rows_left -= rows;
        if (line) {
            print_line(cells, characters, settings.output);
            accumulator -= 1.0;
        }
    }
    std::free(cells.sums);
    std::free(cells.runs);
    std::fflush(settings.output);
    std::fclose(settings.glyph_stream);
    settings.glyph_stream = nullptr;
}
