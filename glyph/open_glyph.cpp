// Finding a symbol's picture, opening it and reading its Netpbm header.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "control/fail.h"
#include "control/settings.h"
#include "glyph/glyph.h"

GlyphHeader glyph_header;

namespace {

// Opens a regular file for reading; anything else (a FIFO, a device, a
// directory) is no picture. Opening does not wait for a FIFO's writer, a
// terminal named by mistake does not become the program's controlling
// terminal, and on a regular file the non-blocking flag changes nothing.
FILE* open_picture(const char* path)
{
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0)
        return nullptr;
    struct stat status;
    FILE* stream = nullptr;
    if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode))
        stream = fdopen(descriptor, "r");
    if (!stream)
        close(descriptor);
    return stream;
}

// Progress through the header: one bit per value read.
constexpr int got_magic = 1;
constexpr int got_width = 2;
constexpr int got_height = 4;
constexpr int got_maxval = 8;   // also set at once for P1 and P4, which have none
constexpr int got_all = 15;

// The next byte that can begin a token (a printable one); everything else
// only separates tokens. The end of the file here means the header can never
// be completed.
int next_token_byte(FILE* stream)
{
    int c = getc_unlocked(stream);
    while (c < '!' || c > '~') {
        if (c == EOF)
            fail_run();
        c = getc_unlocked(stream);
    }
    return c;
}

// A number starting at `c`; the byte that ends it is consumed. A byte that is
// no digit gives 0. A value beyond a signed 32-bit integer is malformed.
int32_t read_header_number(FILE* stream, int c)
{
    int32_t value = 0;
    while (c >= '0' && c <= '9') {
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
            // A comment runs to the end of its line.
            for (int skipped = c; skipped != '\n'; skipped = getc_unlocked(stream))
                if (skipped == EOF)
                    fail_run();
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

void open_glyph(const SymbolRecord* record)
{
    if (!record)
        return;
    // The three parts are joined as they stand: the set directory carries a
    // slash at both ends, so no separator is added or removed.
    const char* directory = current_set_directory ? current_set_directory : "";
    const size_t path_length = std::strlen(settings.symbol_path) + std::strlen(directory)
                               + std::strlen(record->image_file);
    char* path = static_cast<char*>(std::calloc(path_length + 1, 1));
    if (!path)
        fail_run();
    std::strcat(path, settings.symbol_path);
    std::strcat(path, directory);
    std::strcat(path, record->image_file);
    FILE* stream = open_picture(path);
    std::free(path);
    if (!stream) {
        std::fprintf(settings.error, "Try using option -p.\n");
        fail_run();
    }
    // Only one picture is ever open, so one buffer serves them all; a drill
    // then allocates nothing per question.
    static char buffer[BUFSIZ];
    std::setvbuf(stream, buffer, _IOFBF, sizeof buffer);
    settings.glyph_stream = stream;
    read_glyph_header(stream);
}
