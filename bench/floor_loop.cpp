// The least a drill loop can do per question: open a picture file, read it
// whole through stdio, print its bytes and flush (a drill shows each picture
// before it waits for the answer). The benchmarks compare the test loop with
// this floor.
//   floor_loop COUNT LIST > /dev/null
// LIST names the picture files, one path a line; they are taken in turn,
// from the first again after the last, COUNT times in all.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> read_list(const char* name)
{
    std::vector<std::string> paths;
    FILE* list = std::fopen(name, "r");
    if (!list)
        return paths;
    std::string line;
    int c;
    while ((c = std::fgetc(list)) != EOF) {
        if (c != '\n') {
            line += static_cast<char>(c);
        } else if (!line.empty()) {
            paths.push_back(line);
            line.clear();
        }
    }
    if (!line.empty())
        paths.push_back(line);
    std::fclose(list);
    return paths;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: floor_loop COUNT LIST\n");
        return 2;
    }
    const long count = std::strtol(argv[1], nullptr, 10);
    const std::vector<std::string> paths = read_list(argv[2]);
    if (count < 1 || paths.empty()) {
        std::fprintf(stderr, "floor_loop: need a positive count and a list of files\n");
        return 2;
    }
    static char bytes[1 << 16];
    for (long i = 0; i < count; ++i) {
        const std::string& path = paths[static_cast<size_t>(i) % paths.size()];
        FILE* picture = std::fopen(path.c_str(), "r");
        if (!picture) {
            std::fprintf(stderr, "floor_loop: cannot open %s\n", path.c_str());
            return 1;
        }
        size_t got;
        // A short read means the end of the file: no extra read to find it.
        do {
            got = std::fread(bytes, 1, sizeof bytes, picture);
            std::fwrite(bytes, 1, got, stdout);
        } while (got == sizeof bytes);
        std::fclose(picture);
        std::fflush(stdout);
    }
    return 0;
}
