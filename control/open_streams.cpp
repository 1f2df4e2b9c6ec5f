// Opening the files named by -i, -o and -e without ever destroying what the
// run reads: an output that is the input or a picture is refused before
// anything is created or truncated.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "base/fail.h"
#include "base/settings.h"
#include "catalogue/catalogue.h"
#include "control/open_streams.h"

static bool same_file(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The pipe guard_process put in place of a missing standard descriptor: a
// pipe end open the wrong way round (write-only as input, read-only as
// output or error). Whatever name leads to it, it is never used.
static bool is_placeholder(const struct stat& file)
{
    if (!S_ISFIFO(file.st_mode))
        return false;
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        const int flags = fcntl(descriptor, F_GETFL);
        const int wrong_way = descriptor == 0 ? O_WRONLY : O_RDONLY;
        struct stat status;
        if (flags != -1 && (flags & O_ACCMODE) == wrong_way && fstat(descriptor, &status) == 0
            && same_file(status, file))
            return true;
    }
    return false;
}

// Any catalogued picture, as open_glyph would open it: its name in its set
// directory under the symbol path, links followed, mount points crossed.
// Each set directory is opened once (O_PATH asks only search permission, as
// finding a picture does) and the names looked up in it, which is cheaper
// than looking up every whole path. It runs only for an existing regular
// file named by -o or -e.
static bool is_picture(const struct stat& file)
{
    for (const SetInfo& set : set_table) {
        const std::string path = std::string(settings.symbol_path) + set.directory;
        const int directory = open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (directory < 0)
            continue;
        bool found = false;
        for (int row = set.first_row; row < set.first_row + set.size && !found; ++row) {
            struct stat status;
            found = fstatat(directory, symbol_table[row].image_file, &status, 0) == 0
                    && same_file(status, file);
        }
        close(directory);
        if (found)
            return true;
    }
    return false;
}

// Writing to this file would destroy the answers or a picture, or would use
// a placeholder. The input is refused whatever its kind (a file would be
// truncated, a pipe or FIFO would read back the run's own output), except a
// character device (a terminal, /dev/null), which takes both ways.
// open_glyph reads only regular files as pictures.
static bool is_precious(const struct stat& file)
{
    if (is_placeholder(file))
        return true;
    struct stat input;
    if (fstat(fileno(settings.input), &input) == 0 && same_file(input, file)
        && !S_ISCHR(file.st_mode))
        return true;
    return S_ISREG(file.st_mode) && is_picture(file);
}

// The file as it stands before anything is opened for writing; false when
// there is none yet. A precious one ends the run here; `checked`, when given,
// was found harmless already.
static bool check_target(const char* path, struct stat* before, const struct stat* checked)
{
    if (stat(path, before) != 0)
        return false;
    if (!(checked && same_file(*checked, *before)) && is_precious(*before))
        fail_run();
    return true;
}

// Opens for writing without truncating, makes sure it is still the file that
// was checked, and only then empties it. A FIFO waits for its reader here.
static FILE* open_for_writing(const char* path, const struct stat* before)
{
    const int descriptor = open(path, O_WRONLY | O_CREAT | O_NOCTTY, 0666);
    if (descriptor < 0)
        fail_run();
    struct stat now;
    if (fstat(descriptor, &now) != 0 || (before && !same_file(*before, now))
        || (S_ISREG(now.st_mode) && ftruncate(descriptor, 0) != 0))
        fail_run();
    FILE* stream = fdopen(descriptor, "w");
    if (!stream)
        fail_run();
    return stream;
}

static FILE* open_for_reading(const char* path)
{
    // A placeholder is refused before it is opened: as a FIFO with no writer
    // it would wait for one for ever.
    struct stat status;
    if (stat(path, &status) == 0 && is_placeholder(status))
        fail_run();
    const int descriptor = open(path, O_RDONLY | O_NOCTTY);
    if (descriptor < 0)
        fail_run();
    // A directory opens, but every read of it fails.
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode) || is_placeholder(status))
        fail_run();
    FILE* stream = fdopen(descriptor, "r");
    if (!stream)
        fail_run();
    return stream;
}

void open_named_streams()
{
    if (settings.input_path)
        settings.input = open_for_reading(settings.input_path);

    // Both outputs are checked before either is created or truncated.
    struct stat output_before, error_before;
    const bool output_existed =
        settings.output_path && check_target(settings.output_path, &output_before, nullptr);
    const bool error_existed =
        settings.error_path
        && check_target(settings.error_path, &error_before,
                        output_existed ? &output_before : nullptr);

    if (settings.output_path)
        settings.output =
            open_for_writing(settings.output_path, output_existed ? &output_before : nullptr);
    if (!settings.output_path && !settings.error_path)
        return;
    // The output's own file (named by -o, or standard output) takes the error
    // message in the same stream, after what was written before it, as >f 2>&1
    // would: whether -e names it (by a path that did not exist, it does now)
    // or -o names the file standard error already writes to (-o f 2>f).
    struct stat error_now, output;
    const bool error_is_output =
        fstat(fileno(settings.output), &output) == 0
        && (settings.error_path ? stat(settings.error_path, &error_now)
                                : fstat(fileno(settings.error), &error_now)) == 0
        && same_file(error_now, output);
    if (error_is_output)
        settings.error = settings.output;
    else if (settings.error_path)
        settings.error =
            open_for_writing(settings.error_path, error_existed ? &error_before : nullptr);
}
