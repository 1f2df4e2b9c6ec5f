#include <cstdint>
#include <cstdio>

#include "control/fail.h"
#include "glyph/glyph.h"

GlyphHeader glyph_header;

namespace {

// Progress through the header: one bit per value read.
constexpr int got_magic = 1;
constexpr int got_width = 2;
constexpr int got_height = 4;
constexpr int got_maxval = 8;   // also set at once for P1 and P4, which have none
constexpr int got_all = 15;

bool is_token_byte(int c)
{
    return c >= '!' && c <= '~';
}

bool is_digit(int c)
{
    return c >= '0' && c <= '9';
}

// The next byte that can begin a token; the end of the file here means the
// header can never be completed.
int next_token_byte(FILE* stream)
{
    int c = getc_unlocked(stream);
    while (!is_token_byte(c)) {
        if (c == EOF)
            fail_run();
        c = getc_unlocked(stream);
    }
    return c;
}

void skip_comment(FILE* stream)
{
    int c;
    do {
        c = getc_unlocked(stream);
        if (c == EOF)
            fail_run();
    } while (c != '\n');
}

// A number starting at `c`; the byte that ends it is consumed. A byte that is
// no digit gives 0. A value beyond a signed 32-bit integer is malformed.
int32_t read_header_number(FILE* stream, int c)
{
    int32_t value = 0;
    while (is_digit(c)) {
        const int digit = c - '0';
        if (value > (INT32_MAX - digit) / 10)
            fail_run();
        value = value * 10 + digit;
        c = getc_unlocked(stream);
    }
    return value;
}

}  // namespace

void read_glyph_header(FILE* stream)
{
    int progress = 0;
    while (progress != got_all) {
        const int c = next_token_byte(stream);
        if (c == 'P' && !(progress & got_magic)) {
            // The digit must follow "P" directly.
            const int magic = getc_unlocked(stream);
            if (magic < '1' || magic > '6')
                fail_run();
            glyph_header.magic = static_cast<char>(magic);
            progress |= got_magic;
            if (magic == '1' || magic == '4')
                progress |= got_maxval;
        } else if (c == '#') {
            skip_comment(stream);
        } else {
            const int32_t value = read_header_number(stream, c);
            if (!(progress & got_width)) {
                glyph_header.width = value;
                progress |= got_width;
            } else if (!(progress & got_height)) {
                glyph_header.height = value;
                progress |= got_height;
            } else if (!(progress & got_maxval)) {
                progress |= got_maxval;   // read past: samples are taken as 0..255
            }
        }
    }
}
