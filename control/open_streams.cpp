// Opening the files named by -i, -o and -e without ever destroying what the
// run reads: an output that is the input file or a picture is refused before
// anything is created or truncated.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "catalogue/catalogue.h"
#include "base/fail.h"
#include "control/open_streams.h"
#include "base/settings.h"

static bool same_file(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Any file in the set directories under the symbol path, reached by any name:
// a link elsewhere to a picture is the picture.
static bool is_picture(const struct stat& file)
{
    for (const SetInfo& set : set_table) {
        const std::string path = std::string(settings.symbol_path) + set.directory;
        DIR* directory = opendir(path.c_str());
        if (!directory)
            continue;
        bool found = false;
        while (const dirent* entry = readdir(directory)) {
            // An entry's serial number is its file's own: only a symbolic
            // link, or an entry of a type the directory does not tell, has to
            // be followed to see where it leads.
            if (entry->d_ino != file.st_ino && entry->d_type != DT_LNK
                && entry->d_type != DT_UNKNOWN)
                continue;
            struct stat status;
            if (fstatat(dirfd(directory), entry->d_name, &status, 0) == 0
                && same_file(status, file)) {
                found = true;
                break;
            }
        }
        closedir(directory);
        if (found)
            return true;
    }
    return false;
}

// Writing over this file would destroy the answers or a picture. Only a
// regular file can be truncated: a terminal or /dev/null as both input and
// output is fine.
static bool is_precious(const struct stat& file)
{
    if (!S_ISREG(file.st_mode))
        return false;
    struct stat input;
    if (fstat(fileno(settings.input), &input) == 0 && same_file(input, file))
        return true;
    return is_picture(file);
}

// The file as it stands before anything is opened for writing; false when
// there is none yet. A precious one ends the run here.
static bool check_target(const char* path, struct stat* before)
{
    if (stat(path, before) != 0)
        return false;
    if (is_precious(*before))
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
    const int descriptor = open(path, O_RDONLY | O_NOCTTY);
    if (descriptor < 0)
        fail_run();
    // A directory opens, but every read of it fails.
    struct stat status;
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode))
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
        settings.output_path && check_target(settings.output_path, &output_before);
    const bool error_existed =
        settings.error_path && check_target(settings.error_path, &error_before);

    if (settings.output_path)
        settings.output =
            open_for_writing(settings.output_path, output_existed ? &output_before : nullptr);
    if (!settings.error_path)
        return;
    // The output's own file (named by -o, or standard output) takes the error
    // message in the same stream, after what was written before it, as >f 2>&1
    // would. Named by one path that did not exist, it does now.
    struct stat error_now, output;
    if (stat(settings.error_path, &error_now) == 0
        && fstat(fileno(settings.output), &output) == 0 && same_file(error_now, output))
        settings.error = settings.output;
    else
        settings.error =
            open_for_writing(settings.error_path, error_existed ? &error_before : nullptr);
}
