#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "control/fail.h"
#include "control/settings.h"
#include "glyph/glyph.h"

// Opens a regular file for reading; anything else (a FIFO, a device, a
// directory) is no picture. Opening does not wait for a FIFO's writer, and on
// a regular file the non-blocking flag changes nothing.
static FILE* open_picture(const char* path)
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
    // Only one glyph file is ever open: one buffer serves them all, rather
    // than one allocated and freed with every picture.
    static char buffer[BUFSIZ];
    std::setvbuf(stream, buffer, _IOFBF, sizeof buffer);
    settings.glyph_stream = stream;
    read_glyph_header(stream);
}
