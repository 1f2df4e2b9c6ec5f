// The column map of the last picture, kept for the next: working out the
// runs costs an extended-precision product per image column, and a drill
// shows pictures of one size after another.
#include <algorithm>
#include <cstdlib>

#include "control/fail.h"
#include "glyph/raster.h"

namespace {

// The map of the last picture's widths.
ColumnMap kept;
// Room for the gather table of any narrow picture: the longest run is at
// most one more than width / output width, so the table holds at most
// width + 2 * output width entries (the check below keeps to the room
// anyway).
int32_t kept_gather[3 * column_sums_width];

void gather_table(ColumnMap& map)
{
    map.gather = nullptr;
    map.gather_stride = 0;
    if (map.width > column_sums_width)
        return;
    int32_t longest_run = 0;
    for (int32_t k = 0; k < map.output_width; ++k)
        longest_run = std::max(longest_run, static_cast<int32_t>(map.runs[k]));
    const int32_t stride = std::max(longest_run, 2);
    if (longest_run > column_sums_run
        || static_cast<int64_t>(stride) * map.output_width > 3 * column_sums_width)
        return;
    int32_t begin = 0;
    for (int32_t k = 0; k < map.output_width; ++k) {
        const int32_t run = static_cast<int32_t>(map.runs[k]);
        for (int32_t j = 0; j < stride; ++j)
            kept_gather[k * stride + j] = j < run ? begin + j : map.width;
        begin += run;
    }
    map.gather = kept_gather;
    map.gather_stride = stride;
}

}  // namespace

const ColumnMap& shared_column_map(int32_t width, int32_t output_width, double ratio)
{
    if (kept.runs && width == kept.width && output_width == kept.output_width)
        return kept;
    std::free(kept.runs);
    // The runs and then the cell sums, in one block, since the inner loops
    // take a run and add to its sum together. Room for at least one of
    // each, so that an empty picture is no failed allocation.
    const size_t cells = output_width > 0 ? static_cast<size_t>(output_width) : 1;
    kept.runs = static_cast<int64_t*>(std::calloc(2 * cells, sizeof(int64_t)));
    if (!kept.runs)
        fail_run();
    kept.sums = kept.runs + cells;
    column_runs(width, output_width, ratio, kept.runs);
    kept.width = width;
    kept.output_width = output_width;
    gather_table(kept);
    return kept;
}
