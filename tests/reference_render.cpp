#include "tests/reference_render.h"

namespace {

bool is_digit(int c)
{
    return c >= '0' && c <= '9';
}

// The bytes of a file one by one, with -1 after the last.
struct Bytes {
    const std::string& text;
    size_t at = 0;
    int next() { return at < text.size() ? static_cast<unsigned char>(text[at++]) : -1; }
};

// A plain number: bytes up to the first digit are skipped, the byte after the
// digits is taken with them, and a value past 32 bits stays at the largest.
// -1 when the file ends before a digit.
int32_t plain_number(Bytes& bytes)
{
    int c = bytes.next();
    while (c != -1 && !is_digit(c))
        c = bytes.next();
    if (c == -1)
        return -1;
    int64_t value = 0;
    for (; is_digit(c); c = bytes.next()) {
        value = value * 10 + (c - '0');
        if (value > INT32_MAX)
            value = INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

// A plain bitmap pixel: the next '0' (white) or '1' (black); -1 at the end.
int32_t plain_bit(Bytes& bytes)
{
    for (int c = bytes.next(); c != -1; c = bytes.next()) {
        if (c == '0')
            return 255;
        if (c == '1')
            return 0;
    }
    return -1;
}

// The rest of a comment, through its line feed; false when the file ends
// first.
bool skip_comment(Bytes& bytes)
{
    for (int c = bytes.next(); c != '\n'; c = bytes.next())
        if (c == -1)
            return false;
    return true;
}

}  // namespace

ReferenceHeader reference_header(const std::string& file)
{
    ReferenceHeader header;
    Bytes bytes{file};
    bool have_magic = false, have_width = false, have_height = false, have_maxval = false;
    while (!(have_magic && have_width && have_height && have_maxval)) {
        int c = bytes.next();
        while (c != -1 && (c < '!' || c > '~'))
            c = bytes.next();
        if (c == -1)
            return header;
        if (c == 'P' && !have_magic) {
            const int digit = bytes.next();
            if (digit < '1' || digit > '6')
                return header;
            header.magic = static_cast<char>(digit);
            have_magic = true;
            have_maxval = have_maxval || digit == '1' || digit == '4';
        } else if (c == '#') {
            if (!skip_comment(bytes))
                return header;
        } else {
            int64_t value = 0;
            for (; is_digit(c); c = bytes.next()) {
                value = value * 10 + (c - '0');
                if (value > INT32_MAX)
                    return header;
            }
            // A "#" that ends a number begins a comment; any other byte that
            // ends one is dropped with it.
            if (c == '#' && !skip_comment(bytes))
                return header;
            if (!have_width) {
                header.width = static_cast<int32_t>(value);
                have_width = true;
            } else if (!have_height) {
                header.height = static_cast<int32_t>(value);
                have_height = true;
            } else {
                have_maxval = true;
            }
        }
    }
    header.read = true;
    header.raster_start = bytes.at;
    return header;
}

Picture reference_samples(char magic, int32_t width, int32_t height, const std::string& raster)
{
    Picture picture{width, height, {}};
    picture.samples.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    Bytes bytes{raster};
    // A raw byte, -1 past the end of the file.
    auto raw = [&](size_t at) -> int32_t {
        return at < raster.size() ? static_cast<unsigned char>(raster[at]) : -1;
    };
    const size_t row_bytes = (static_cast<size_t>(width) + 7) / 8;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const size_t pixel = static_cast<size_t>(y) * static_cast<size_t>(width) + x;
            int32_t sample = 0;
            switch (magic) {
            case '1':
                sample = plain_bit(bytes);
                break;
            case '2':
                sample = plain_number(bytes);
                break;
            case '3': {
                const int64_t red = plain_number(bytes);
                const int64_t green = plain_number(bytes);
                sample = static_cast<int32_t>((red + green + plain_number(bytes)) / 3);
                break;
            }
            case '4': {
                // Each row starts on a fresh byte; past the end every bit is set.
                const int32_t byte = raw(y * row_bytes + x / 8);
                const bool black = byte == -1 || (byte >> (7 - x % 8) & 1);
                sample = black ? 0 : 255;
                break;
            }
            case '5':
                sample = raw(pixel);
                break;
            case '6':
                sample = (raw(3 * pixel) + raw(3 * pixel + 1) + raw(3 * pixel + 2)) / 3;
                break;
            }
            picture.samples.push_back(sample);
        }
    }
    return picture;
}

std::string reference_render(const Picture& picture, Limits limits)
{
    const int32_t max_width = limits.max_width < 1 ? 1 : limits.max_width;
    const int32_t max_height = limits.max_height < 1 ? 1 : limits.max_height;
    const bool across = max_width < picture.width;
    const double ratio = across ? static_cast<double>(max_width) / picture.width : 1.0;
    const int32_t out_width = across ? max_width : picture.width;
    const double down =
        max_height < picture.height ? static_cast<double>(max_height) / picture.height : 1.0;
    const char* table[2][2] = {{" OOO", " .:#"}, {"O   ", "#:. "}};
    const char* characters = table[limits.reverse != 'n'][limits.grey_shades != 'n'];
    // The output column of every image column: the exact product of the
    // column and the stored ratio, truncated.
    std::vector<int64_t> column_of(static_cast<size_t>(picture.width));
    for (int32_t x = 0; x < picture.width; ++x)
        column_of[x] = static_cast<int64_t>(static_cast<long double>(x) * ratio);
    std::vector<int64_t> sums(out_width), counts(out_width);
    double accumulator = 0.0;
    std::string out;
    for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x) {
            const int64_t k = column_of[x];
            sums[k] += picture.samples[static_cast<size_t>(y) * picture.width + x];
            counts[k] += 1;
        }
        accumulator += down;
        if (accumulator >= 1.0) {
            for (int32_t k = 0; k < out_width; ++k) {
                if (counts[k] == 0) {
                    out += ' ';   // no image column falls here
                    continue;
                }
                const int64_t average = sums[k] / counts[k];
                out += characters[average > 240 ? 0 : average > 128 ? 1 : average > 64 ? 2 : 3];
                sums[k] = counts[k] = 0;
            }
            out += '\n';
            accumulator -= 1.0;
        }
    }
    return out;
}
