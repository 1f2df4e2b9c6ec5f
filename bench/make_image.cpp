// Writes a Netpbm picture of the given format and size with pseudo-random
// contents to standard output, for the benchmarks.
//   make_image P5 8000 8000 > grey.pgm
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

uint64_t state = 0x2545f4914f6cdd1dULL;

uint32_t next_value()
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<uint32_t>(state >> 32);
}

class Output {
public:
    ~Output() { flush(); }
    void put(char c)
    {
        if (used_ == sizeof buffer_)
            flush();
        buffer_[used_++] = c;
    }
    void put(const char* text)
    {
        while (*text)
            put(*text++);
    }
    void number(uint32_t value)
    {
        char digits[12];
        std::snprintf(digits, sizeof digits, "%u", value);
        put(digits);
    }
    void flush()
    {
        std::fwrite(buffer_, 1, used_, stdout);
        used_ = 0;
    }

private:
    char buffer_[1 << 16];
    size_t used_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || std::strlen(argv[1]) != 2 || argv[1][0] != 'P' || argv[1][1] < '1'
        || argv[1][1] > '6') {
        std::fprintf(stderr, "usage: make_image P1..P6 WIDTH HEIGHT\n");
        return 2;
    }
    const char magic = argv[1][1];
    const uint64_t width = std::strtoull(argv[2], nullptr, 10);
    const uint64_t height = std::strtoull(argv[3], nullptr, 10);
    Output out;
    out.put(argv[1]);
    out.put("\n# benchmark picture\n");
    out.number(static_cast<uint32_t>(width));
    out.put(' ');
    out.number(static_cast<uint32_t>(height));
    out.put('\n');
    if (magic != '1' && magic != '4')
        out.put("255\n");
    const uint64_t row_bytes = magic == '4' ? (width + 7) / 8 : magic == '6' ? 3 * width : width;
    for (uint64_t y = 0; y < height; ++y) {
        for (uint64_t x = 0; x < row_bytes; ++x) {
            const uint32_t value = next_value();
            switch (magic) {
            case '1':   // one digit per pixel, a blank between, a line per 35 pixels
                out.put(value & 1 ? '1' : '0');
                out.put(x % 35 == 34 || x + 1 == row_bytes ? '\n' : ' ');
                break;
            case '2':
                out.number(value & 255);
                out.put(x % 17 == 16 || x + 1 == row_bytes ? '\n' : ' ');
                break;
            case '3':
                for (int i = 0; i < 3; ++i) {
                    out.number((value >> (8 * i)) & 255);
                    out.put(i < 2 ? ' ' : x % 5 == 4 || x + 1 == row_bytes ? '\n' : ' ');
                }
                break;
            default:
                out.put(static_cast<char>(value & 255));
                break;
            }
        }
    }
    return 0;
}
