#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>

#include "control/settings.h"
#include "glyph/column_map.h"
#include "glyph/glyph.h"
#include "glyph/raster_reader.h"
#include "glyph/row_loops.h"
#include "glyph/shades.h"

namespace {

// The picture's text on its way to the output stream: written out when the
// buffer fills and at the end, rather than line by line.
struct Text {
    char bytes[4096];
    size_t used = 0;
};

void write_text(Text& text, const char* bytes, size_t count)
{
    if (text.used + count > sizeof text.bytes) {
        std::fwrite(text.bytes, 1, text.used, settings.output);
        text.used = 0;
        if (count > sizeof text.bytes) {
            std::fwrite(bytes, 1, count, settings.output);
            return;
        }
    }
    std::memcpy(text.bytes + text.used, bytes, count);
    text.used += count;
}

// One picture in progress: the map with the cells of the current band of
// rows, the line accumulator that ends the band, and the text printed so far.
struct Picture {
    ColumnMap* map = nullptr;
    int64_t rows = 0;                   // rows in the band so far
    double down = 1.0;                  // the vertical ratio
    double accumulator = 0.0;
    const char* characters = nullptr;   // the shade table's four characters
    Text text;
};

// Prints the band as one line and empties the cells. A cell that no image
// column maps to (possible only for enormous pictures) prints blank.
void print_line(Picture& picture)
{
    // Held apart from the picture, so that the stores to the line leave them
    // in registers.
    const int32_t width = picture.map->output_width;
    const int64_t* const runs = picture.map->runs;
    int64_t* const sums = picture.map->sums;
    const int64_t rows = picture.rows;
    const char* const characters = picture.characters;
    char line[4096];
    size_t used = 0;
    for (int32_t k = 0; k < width; ++k) {
        const int64_t count = runs[k] * rows;
        line[used++] = count ? characters[cell_shade_level(sums[k], count)] : ' ';
        sums[k] = 0;
        if (used == sizeof line) {
            write_text(picture.text, line, used);
            used = 0;
        }
    }
    line[used++] = '\n';
    write_text(picture.text, line, used);
    picture.rows = 0;
}

// The same for a narrow picture whose band lies in its column sums alone;
// empties them.
void print_narrow_line(Picture& picture)
{
    ColumnMap& map = *picture.map;
    assert(map.columns.rows == picture.rows);
    char line[column_sums_width + 1];
    narrow_line(map, picture.characters, line);
    line[map.output_width] = '\n';
    write_text(picture.text, line, static_cast<size_t>(map.output_width) + 1);
    picture.rows = 0;
}

// Counts one more row into the band; true when the accumulator calls for a
// line.
bool add_row(Picture& picture)
{
    ++picture.rows;
    picture.accumulator += picture.down;
    return picture.accumulator >= 1.0;
}

// Reads rows into the cells, run by run, until the file ends or all
// `height` are read. Returns the rows read.
int32_t read_rows_by_runs(char magic, RasterReader& reader, int32_t height, Picture& picture)
{
    int32_t row = 0;
    for (; row < height && !reader.ended; ++row) {
        add_raster_row(magic, reader, *picture.map);
        if (add_row(picture)) {
            print_line(picture);
            picture.accumulator -= 1.0;
        }
    }
    return row;
}

// The same for narrow raw pictures, through a sum per image column.
int32_t read_rows_by_columns(char magic, RasterReader& reader, int32_t height, Picture& picture)
{
    ColumnMap& map = *picture.map;
    start_column_sums(map.columns);
    int32_t row = 0;
    for (; row < height && !reader.ended; ++row) {
        add_row_to_columns(magic, reader, map.columns);
        const bool line = add_row(picture);
        if (line && picture.rows * map.gather_stride <= column_sums_rows) {
            // The band has not been folded (a fold comes after more rows than
            // that), and its cells' counts (the stride is at least the
            // longest run) are small.
            print_narrow_line(picture);
        } else if (line || map.columns.rows == column_sums_rows) {
            fold_columns(map);
            if (line)
                print_line(picture);
        }
        if (line)
            picture.accumulator -= 1.0;
    }
    fold_columns(map);
    return row;
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
    const int32_t output_width = max_width < width ? max_width : width;
    // Kept from one picture to the next: a drill shows pictures of one size
    // after another, and working out the map costs more than rendering a
    // small picture.
    static ColumnMap map;
    fit_column_map(map, width, output_width, across);
    std::fill_n(map.sums, output_width, 0);
    Picture picture;
    picture.map = &map;
    picture.down = max_height < height ? static_cast<double>(max_height) / height : 1.0;
    picture.characters = shade_characters(settings.grey_shades, settings.reverse);

    RasterReader reader;
    start_reader(reader, settings.glyph_stream, raster_size(magic, width, height));
    // Rows are read one by one until the file ends (a row of no pixels needs
    // no bytes: all such rows go together below).
    int32_t row = 0;
    if (width > 0 && sums_by_column(magic, map))
        row = read_rows_by_columns(magic, reader, height, picture);
    else if (width > 0)
        row = read_rows_by_runs(magic, reader, height, picture);
    // From here every sample is the same constant: whole bands at a time.
    // The constant is 0 or -1, which keeps a band's sums within 64 bits.
    const int64_t sample = sample_at_end(magic, nullptr, 0, 0);
    assert(sample == 0 || sample == -1);
    for (int64_t rows_left = height - row; rows_left > 0;) {
        bool line = false;
        const int64_t rows = advance_lines(picture.accumulator, picture.down, rows_left, line);
        if (sample != 0) {
            for (int32_t k = 0; k < output_width; ++k)
                map.sums[k] += sample * map.runs[k] * rows;
        }
        picture.rows += rows;
        rows_left -= rows;
        if (line) {
            print_line(picture);
            picture.accumulator -= 1.0;
        }
    }
    std::fwrite(picture.text.bytes, 1, picture.text.used, settings.output);
    flush_output();
    std::fclose(settings.glyph_stream);
    settings.glyph_stream = nullptr;
}
