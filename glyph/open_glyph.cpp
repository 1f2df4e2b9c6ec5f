// Finding a symbol's picture, opening it and reading its Netpbm header.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fail.h"
#include "base/settings.h"
#include "glyph/open_glyph.h"

GlyphHeader glyph_header;

namespace {

// Progress through the header: one bit per value read. P1 and P4 have no
// maxval: its bit is set with the magic.
enum : int { got_magic = 1, got_width = 2, got_height = 4, got_maxval = 8, got_all = 15 };

// A comment, its "#" read: the bytes up to and including the next line feed.
void skip_comment(FILE* stream)
{
    for (int skipped = '#'; skipped != '\n'; skipped = getc_unlocked(stream))
        if (skipped == EOF)
            fail_run();
}

}  // namespace

void read_glyph_header(FILE* stream)
{
    int progress = 0;
    while (progress != got_all) {
        // Only printable bytes begin a token; the rest separate tokens. The
        // end of the file in the header means it can never be completed.
        int c = getc_unlocked(stream);
        for (; c < '!' || c > '~'; c = getc_unlocked(stream))
            if (c == EOF)
                fail_run();
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
            // A number; the byte that ends it is consumed. A byte that is no
            // digit gives 0. A value beyond 32 bits is malformed.
            int32_t value = 0;
            for (; c >= '0' && c <= '9'; c = getc_unlocked(stream)) {
                if (value > (INT32_MAX - (c - '0')) / 10)
                    fail_run();
                value = value * 10 + (c - '0');
            }
            // Except a "#": the formats let a comment follow a number
            // directly, and it runs to the end of its line like any other.
            // After the last number the raster then starts past that line.
            if (c == '#')
                skip_comment(stream);
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
    // Only a regular file is a picture: not a FIFO (opening does not wait for
    // its writer), a device, or a terminal (which does not become the
    // program's controlling terminal). The flags change nothing for a file.
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
    std::free(path);
    struct stat status;
    FILE* stream = nullptr;
    if (descriptor >= 0 && fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode))
        stream = fdopen(descriptor, "r");
    if (!stream && descriptor >= 0)
        close(descriptor);
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
