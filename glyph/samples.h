// Reading a picture's samples: the raster after the header, in runs of
// pixels that fall into one cell. A sample is 0 (black) to 255 (white) in
// every format; plain numbers above 255 are used as they stand.
#pragma once

#include <cstdint>
#include <cstdio>

// What the file gives past its end: every byte or plain number that cannot
// be read counts as -1. So a missing raw grey sample is -1, a raw colour
// pixel averages its bytes with -1 for each missing one, a missing plain
// digit or number is -1, and a missing raw bitmap byte, all of whose bits
// are set, is eight black pixels. This is the only place that says so.
constexpr int value_past_end = -1;

// The raster of the open picture, read in blocks through its stream (the
// header was read from the same stream, so nothing is lost between them).
struct SampleReader {
    FILE* stream = nullptr;
    char magic = 0;
    const unsigned char* pos = nullptr;
    const unsigned char* end = nullptr;
    // Raster bytes still to ask of the stream. A raw raster's size is known,
    // and asking no further spares the drill a read that would only find the
    // end of a small file; a plain raster is read until the file ends.
    uint64_t unread = 0;
    bool ended = false;        // a read found the end of the file
    uint64_t bytes_read = 0;   // bounds the cell sums (see samples.cpp)
};

void start_samples(SampleReader& reader, FILE* stream, char magic, int32_t width, int32_t height);

// Adds the samples of the next row to the sums of its `cells` cells, in
// runs[k] pixels each. Pixels past the end of the file take their sample
// past the end at no cost, so a huge picture in a small file is quick.
void add_row(SampleReader& reader, const int64_t* runs, int64_t* sums, int32_t cells);

// The sample of every pixel past the end of the file: -1, or in a raw
// bitmap 0 (black), since -1 has every bit set.
constexpr int64_t sample_past_end(char magic)
{
    return magic == '4' ? 0 : value_past_end;
}
