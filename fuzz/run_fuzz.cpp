// Arbitrary bytes as a whole run: a command line, an answer stream, the
// generator's values, the point at which the output fails, and a few picture
// files, through the same calls as main (parse, prepare, exercise, finish).
// Any end of the run must be status 0 or -1; a crash, a hang, a read out of
// bounds or a leak is a finding.
//
// The input is cut into parts at each "\n=\n":
//   0  the arguments, one per line ('/' dropped, so every file the run
//      names lies in the scratch folder); "-p ." comes first
//   1  the answers
//   2  the generator: a byte below 128 draws picture (byte % pictures),
//      set and row; any other byte takes the next four as one value; after
//      the part, a fixed sequence
//   3  up to four bytes: how many bytes the output takes before its writes
//      fail (no part 3: they never fail)
//   4+ pictures: two bytes choose the catalogue row, the rest is the file
//
// Every way the run ends goes through end_process, which this target links
// in place of the program's: it throws, the stack unwinds to the call below,
// and the target closes what the run left open. The program's code between
// main and those ends is plain C++, so the exception passes through nothing
// that could not unwind.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "base/end_process.h"
#include "control/command_line.h"
#include "control/guard_process.h"
#include "control/open_streams.h"
#include "control/run.h"
#include "control/test_driver.h"
#include "control/usage.h"
#include "base/settings.h"
#include "glyph/glyph.h"
#include "quiz/alignment.h"
#include "quiz/ask.h"
#include "quiz/plain_text.h"
#include "quiz/quiz.h"
#include "quiz/read_word.h"
#include "quiz/words.h"
#include "tests/reference_render.h"

namespace {

struct EndedRun {
    int status;
};

constexpr int most_pictures = 4;
// Text allowed per picture: a run may show one for every answer.
constexpr uint64_t most_picture_text = uint64_t(1) << 14;

struct Planted {
    int row;
    std::string path;
    std::string file;
};

// ---- the streams the run starts with

struct Cookie {
    std::string input;
    size_t read = 0;
    uint64_t written = 0;
    uint64_t fail_after = UINT64_MAX;
    bool closed = false;
};

ssize_t cookie_read(void* c, char* buffer, size_t size)
{
    Cookie& cookie = *static_cast<Cookie*>(c);
    const size_t take = std::min(size, cookie.input.size() - cookie.read);
    std::memcpy(buffer, cookie.input.data() + cookie.read, take);
    cookie.read += take;
    return static_cast<ssize_t>(take);
}

ssize_t cookie_write(void* c, const char*, size_t size)
{
    Cookie& cookie = *static_cast<Cookie*>(c);
    if (cookie.written + size > cookie.fail_after) {
        errno = ENOSPC;
        return -1;
    }
    cookie.written += size;
    return static_cast<ssize_t>(size);
}

int cookie_close(void* c)
{
    static_cast<Cookie*>(c)->closed = true;
    return 0;
}

FILE* open_cookie(Cookie& cookie, const char* mode)
{
    cookie_io_functions_t functions{};
    functions.read = cookie_read;
    functions.write = cookie_write;
    functions.close = cookie_close;
    FILE* stream = fopencookie(&cookie, mode, functions);
    if (!stream)
        std::abort();
    return stream;
}

// ---- the generator

std::vector<int> scripted;
size_t next_scripted = 0;
uint32_t fallback_state = 1;

int fuzz_random()
{
    if (next_scripted < scripted.size())
        return scripted[next_scripted++];
    // xorshift: every set comes up sooner or later, so no pick runs forever.
    fallback_state ^= fallback_state << 13;
    fallback_state ^= fallback_state >> 17;
    fallback_state ^= fallback_state << 5;
    return static_cast<int>(fallback_state & 0x7fffffff);
}

// The two values that make pick_symbol give this row at its first attempt.
void aim_at(int row)
{
    int set = 0;
    while (set + 1 < set_count && row >= set_table[set + 1].first_row)
        ++set;
    const double scale = 2147483648.0;
    scripted.push_back(static_cast<int>((set + 0.5) / set_count * scale));
    scripted.push_back(
        static_cast<int>((row - set_table[set].first_row + 0.5) / set_table[set].size * scale));
}

// ---- the scratch folder all files of a run lie in

std::string scratch_folder;

void clear_scratch_folder(const std::vector<Planted>& pictures);

// At the end of fuzzing: the set folders, empty after every input, and the
// scratch folder itself.
void remove_scratch_folder()
{
    clear_scratch_folder({});
    for (const SetInfo& set : set_table)
        rmdir(std::string(set.directory + 1, std::strlen(set.directory) - 2).c_str());
    if (chdir("..") == 0)
        rmdir(scratch_folder.c_str());
}

void make_scratch_folder()
{
    static bool made = false;
    if (made)
        return;
    const char* base = std::getenv("TMPDIR");
    std::string folder = std::string(base && *base ? base : "/tmp") + "/rilk-run-fuzz-XXXXXX";
    if (!mkdtemp(folder.data()) || chdir(folder.c_str()) != 0)
        std::abort();
    scratch_folder = folder;
    std::atexit(remove_scratch_folder);
    for (const SetInfo& set : set_table) {
        // "/Hiragana/" without its slashes.
        const std::string name(set.directory + 1, std::strlen(set.directory) - 2);
        if (mkdir(name.c_str(), 0700) != 0)
            std::abort();
    }
    made = true;
}

// Removes the pictures and every file the run made beside the set folders.
void clear_scratch_folder(const std::vector<Planted>& pictures)
{
    for (const Planted& p : pictures)
        unlink(p.path.c_str());
    DIR* folder = opendir(".");
    if (!folder)
        std::abort();
    std::vector<std::string> made;
    while (const dirent* entry = readdir(folder)) {
        struct stat status;
        if (lstat(entry->d_name, &status) == 0 && !S_ISDIR(status.st_mode))
            made.push_back(entry->d_name);
    }
    closedir(folder);
    for (const std::string& name : made)
        unlink(name.c_str());
}

std::vector<std::string> split(const std::string& text, const std::string& marker)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(marker, start)) != std::string::npos; start = at + marker.size())
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

// True when a picture could print more than a run should have to.
bool too_large(const std::string& file)
{
    const ReferenceHeader header = reference_header(file);
    if (!header.read)
        return false;
    const int32_t max_width = settings.max_width < 1 ? 1 : settings.max_width;
    const int32_t max_height = settings.max_height < 1 ? 1 : settings.max_height;
    const uint64_t columns = static_cast<uint64_t>(std::min(header.width, max_width));
    const uint64_t lines = static_cast<uint64_t>(std::min(header.height, max_height));
    return (columns + 1) * lines > most_picture_text;
}

}  // namespace

void end_process(int status)
{
    throw EndedRun{status};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    make_scratch_folder();
    const std::vector<std::string> parts =
        split(std::string(reinterpret_cast<const char*>(data), size), "\n=\n");

    std::vector<std::string> arguments{"rilk", "-p", "."};
    for (std::string argument : split(parts[0], "\n")) {
        std::string kept;
        for (char c : argument)
            if (c != '/')
                kept += c;
        arguments.push_back(kept);
    }
    if (parts[0].empty())
        arguments.pop_back();   // no line at all is no argument

    std::vector<Planted> pictures;
    for (size_t p = 4; p < parts.size() && pictures.size() < most_pictures; ++p) {
        if (parts[p].size() < 2)
            continue;
        const int row = (static_cast<unsigned char>(parts[p][0]) << 8 |
                         static_cast<unsigned char>(parts[p][1])) % symbol_count;
        int set = 0;
        while (set + 1 < set_count && row >= set_table[set + 1].first_row)
            ++set;
        Planted planted{row, std::string(".") + set_table[set].directory + symbol_table[row].image_file,
                        parts[p].substr(2)};
        FILE* out = std::fopen(planted.path.c_str(), "w");
        if (!out)
            std::abort();
        std::fwrite(planted.file.data(), 1, planted.file.size(), out);
        std::fclose(out);
        pictures.push_back(planted);
    }

    scripted.clear();
    next_scripted = 0;
    fallback_state = 2463534242u ^ static_cast<uint32_t>(size);
    if (parts.size() > 2) {
        const std::string& script = parts[2];
        for (size_t i = 0; i < script.size(); ++i) {
            const unsigned char token = static_cast<unsigned char>(script[i]);
            if (token < 128 && !pictures.empty()) {
                aim_at(pictures[token % pictures.size()].row);
            } else if (i + 4 < script.size()) {
                uint32_t value;
                std::memcpy(&value, script.data() + i + 1, 4);
                scripted.push_back(static_cast<int>(value & 0x7fffffff));
                i += 4;
            }
        }
    }

    Cookie input_cookie, output_cookie, error_cookie;
    if (parts.size() > 1)
        input_cookie.input = parts[1];
    if (parts.size() > 3 && !parts[3].empty()) {
        uint32_t after = 0;
        std::memcpy(&after, parts[3].data(), std::min<size_t>(4, parts[3].size()));
        output_cookie.fail_after = after;
    }

    settings = Settings{};
    glyph_header = GlyphHeader{};
    current_set_directory = nullptr;
    std::memset(answer_buffer, 0, sizeof answer_buffer);
    random_source = &fuzz_random;
    FILE* const input = open_cookie(input_cookie, "r");
    FILE* const output = open_cookie(output_cookie, "w");
    FILE* const error = open_cookie(error_cookie, "w");
    settings.input = input;
    settings.output = output;
    settings.error = error;

    std::vector<char*> argv;
    for (std::string& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int status = 0;
    try {
        parse_command_line(static_cast<int>(arguments.size()), argv.data());
        bool cheap = true;
        for (const Planted& p : pictures)
            cheap = cheap && !too_large(p.file);
        if (cheap) {
            prepare_run();
            run_exercise();
            finish_run();
        }
    } catch (const EndedRun& ended) {
        status = ended.status;
    }
    if (status != 0 && status != -1) {
        std::fprintf(stderr, "run fuzz: the run ended with status %d\n", status);
        std::abort();
    }

    // Whatever the run left open: the picture, the files -i, -o and -e
    // opened, and the streams it started with.
    if (settings.glyph_stream)
        std::fclose(settings.glyph_stream);
    // -o and -e naming one file share one stream.
    if (settings.error == settings.output)
        settings.error = nullptr;
    for (FILE* stream : {settings.input, settings.output, settings.error})
        if (stream && stream != input && stream != output && stream != error)
            std::fclose(stream);
    if (!input_cookie.closed)
        std::fclose(input);
    if (!output_cookie.closed)
        std::fclose(output);
    std::fclose(error);
    settings = Settings{};
    random_source = &std::rand;
    clear_scratch_folder(pictures);
    return 0;
}
