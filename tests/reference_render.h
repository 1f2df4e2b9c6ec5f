// A slow, plain model of the picture display, for comparing the fast one with
// byte for byte: the header read token by token, the raster taken apart pixel
// by pixel into samples, and the samples averaged into cells row by row.
// Shared by the tests and the fuzz targets; of the program it takes only the
// default limits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/settings.h"

struct Limits {
    int32_t max_width = Settings{}.max_width;
    int32_t max_height = Settings{}.max_height;
    char grey_shades = 'n';
    char reverse = 'n';
};

struct Picture {
    int32_t width = 0, height = 0;
    std::vector<int32_t> samples;   // row by row, -1 for one past the end
};

// The header at the start of a file. When the file has no complete, well
// formed header, `read` is false.
struct ReferenceHeader {
    bool read = false;
    char magic = 0;
    int32_t width = 0, height = 0;
    size_t raster_start = 0;   // the first byte after the header
};
ReferenceHeader reference_header(const std::string& file);

// The samples of a raster (the bytes after the header) of this format and
// size. Fine for small pictures only: it holds every pixel.
Picture reference_samples(char magic, int32_t width, int32_t height, const std::string& raster);

// The text the display prints for these samples under these limits.
std::string reference_render(const Picture& picture, Limits limits);
