#include "tests/test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "catalogue/catalogue.h"
#include "base/settings.h"
#include "control/command_line.h"
#include "control/usage.h"

// The capture whose streams settings holds; a newer capture takes them over.
static StreamCapture* active_capture = nullptr;

StreamCapture::StreamCapture(const std::string& input_text)
{
    if (active_capture && settings.output == active_capture->output_stream)
        active_capture->detached = true;
    previous_capture = active_capture;
    active_capture = this;
    settings = Settings{};
    input_stream = std::tmpfile();
    std::fputs(input_text.c_str(), input_stream);
    std::rewind(input_stream);
    output_stream = open_memstream(&output_data, &output_size);
    error_stream = open_memstream(&error_data, &error_size);
    settings.input = input_stream;
    settings.output = output_stream;
    settings.error = error_stream;
    fix_set_sizes();
}

StreamCapture::~StreamCapture()
{
    // finish_run may have closed input and output already; it forgets them.
    if (detached || settings.input == input_stream)
        std::fclose(input_stream);
    if (detached || settings.output == output_stream)
        std::fclose(output_stream);
    active_capture = previous_capture;
    std::fclose(error_stream);
    std::free(output_data);
    std::free(error_data);
    settings = Settings{};
}

std::string StreamCapture::output()
{
    std::fflush(output_stream);
    return std::string(output_data, output_size);
}

std::string StreamCapture::closed_output()
{
    return std::string(output_data, output_size);
}

std::string StreamCapture::error()
{
    std::fflush(error_stream);
    return std::string(error_data, error_size);
}

static std::vector<int> scripted_values;
static size_t scripted_next = 0;

static int scripted_random()
{
    if (scripted_next >= scripted_values.size()) {
        ADD_FAILURE() << "the generator was drawn more often than the test scripted";
        return 0;
    }
    return scripted_values[scripted_next++];
}

ScriptedRandom::ScriptedRandom(std::initializer_list<int> values)
    : ScriptedRandom(std::vector<int>(values))
{
}

ScriptedRandom::ScriptedRandom(std::vector<int> values)
{
    scripted_values = std::move(values);
    scripted_next = 0;
    random_source = &scripted_random;
}

ScriptedRandom::~ScriptedRandom()
{
    random_source = &std::rand;
}

size_t ScriptedRandom::used() const
{
    return scripted_next;
}

std::string set_switch(char sign, SymbolSet set)
{
    // The letters follow the two mode letters in set order.
    return {sign, switch_letters[1 + set].letter};
}

std::string shell_quote(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

TemporaryDirectory::TemporaryDirectory() : owner_(getpid())
{
    const char* base = std::getenv("TMPDIR");
    path_ = std::string(base && *base ? base : "/tmp") + "/rilk-test-XXXXXX";
    if (!mkdtemp(path_.data()))
        ADD_FAILURE() << "cannot make a temporary directory";
}

TemporaryDirectory::~TemporaryDirectory()
{
    if (getpid() != owner_)
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void write_file(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string source_path(const std::string& relative)
{
    return std::string(RILK_SOURCE_DIR) + "/" + relative;
}

ProgramRun run_program(const std::vector<std::string>& arguments, const std::string& input_text,
                       const std::string& directory)
{
    const TemporaryDirectory scratch;
    const std::string& files = scratch.path();
    std::string command = "cd " + shell_quote(directory) + " && " + shell_quote(RILK_BINARY);
    for (const std::string& argument : arguments)
        command += " " + shell_quote(argument);
    if (input_text.empty()) {
        command += " </dev/null";
    } else {
        write_file(files + "/in", input_text);
        command += " <" + shell_quote(files + "/in");
    }
    command += " >" + shell_quote(files + "/out") + " 2>" + shell_quote(files + "/err");
    ProgramRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.output = read_file(files + "/out");
    run.error = read_file(files + "/err");
    return run;
}

// Every row's file in its set's folder, with the picture this gives for it.
static void write_pictures(const std::string& top, const std::function<std::string(int)>& picture)
{
    for (const SetInfo& set : set_table) {
        const std::string set_directory = top + set.directory;
        mkdir(set_directory.c_str(), 0755);
        for (int row = set.first_row; row < set.first_row + set.size; ++row)
            write_file(set_directory + symbol_table[row].image_file, picture(row));
    }
}

SymbolDirectory::SymbolDirectory(const std::string& picture)
{
    write_pictures(path(), [&](int) { return picture; });
}

SymbolDirectory::SymbolDirectory(std::string (*picture_of_row)(int row))
{
    write_pictures(path(), picture_of_row);
}

int run_script(const std::string& script, int seconds)
{
    // timeout gives 124 when the time ran out (and kills what is left).
    const std::string command = "RILK=" + shell_quote(RILK_BINARY) + " timeout -s KILL "
                                + std::to_string(seconds) + " sh -c " + shell_quote(script);
    const int raw = std::system(command.c_str());
    if (!WIFEXITED(raw) || WEXITSTATUS(raw) == 124 || WEXITSTATUS(raw) == 137)
        return -1;
    return WEXITSTATUS(raw);
}

int find_row(int set_number, const std::string& image_file)
{
    const SetInfo& set = set_table[set_number - 1];
    for (int row = set.first_row; row < set.first_row + set.size; ++row) {
        if (image_file == symbol_table[row].image_file)
            return row;
    }
    return -1;
}

const SymbolRecord& record_named(int set_number, const std::string& image_file)
{
    const int row = find_row(set_number, image_file);
    if (row >= 0)
        return symbol_table[row];
    ADD_FAILURE() << "no row " << image_file << " in " << set_table[set_number - 1].name;
    return symbol_table[set_table[set_number - 1].first_row];
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}
