#include "tests/test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "catalogue/catalogue.h"
#include "control/settings.h"

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

static std::string quote(const std::string& text)
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

std::string make_temporary_directory()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/rilk-test-XXXXXX";
    if (!mkdtemp(pattern.data()))
        ADD_FAILURE() << "cannot make a temporary directory";
    return pattern;
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
    const std::string scratch = make_temporary_directory();
    std::string command = "cd " + quote(directory) + " && " + quote(RILK_BINARY);
    for (const std::string& argument : arguments)
        command += " " + quote(argument);
    if (input_text.empty()) {
        command += " </dev/null";
    } else {
        write_file(scratch + "/in", input_text);
        command += " <" + quote(scratch + "/in");
    }
    command += " >" + quote(scratch + "/out") + " 2>" + quote(scratch + "/err");
    ProgramRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.output = read_file(scratch + "/out");
    run.error = read_file(scratch + "/err");
    std::system(("rm -rf " + quote(scratch)).c_str());
    return run;
}

std::string make_symbol_directory(const std::string& picture)
{
    const std::string directory = make_temporary_directory();
    for (const SetInfo& set : set_table) {
        const std::string set_directory = directory + set.directory;
        mkdir(set_directory.c_str(), 0755);
        for (int row = set.first_row; row < set.first_row + set.size; ++row)
            write_file(set_directory + symbol_table[row].image_file, picture);
    }
    return directory;
}
