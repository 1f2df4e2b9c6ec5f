// Draws the picture of every catalogue row from a typeface and writes it as a
// raw PBM under <out>/<Set>/<image file>.
//
//   render_glyphs [-o DIR] [Set/file.pbm ...]   all rows, or the rows named
//   render_glyphs --list [Set/file.pbm ...]     the face that draws each row,
//                                               the glyph's proportions, and
//                                               how it was drawn: hinting,
//                                               weight, share of a cell inked
//   render_glyphs --logo                        the version logo, as C++
//
// Each picture is 64 x 44 pixels: at the default limits the program reduces
// it to 32 columns by 22 lines, two pixels to a column and two rows to a
// line. A terminal cell is about twice as tall as wide, so a glyph is drawn
// about twice as wide as high in pixels to keep its proportions on screen.
// Rendering is deterministic: the same fonts give the same bytes.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/characters.h"
#include "tools/glyph_drawing.h"
#include "tools/typefaces.h"

namespace {

std::string pbm(const std::vector<bool>& ink)
{
    std::string out = "P4\n" + std::to_string(picture_width) + " " +
                      std::to_string(picture_height) + "\n";
    for (int y = 0; y < picture_height; ++y)
        for (int x = 0; x < picture_width; x += 8) {
            unsigned char byte = 0;
            for (int b = 0; b < 8 && x + b < picture_width; ++b)
                if (ink[size_t(y) * picture_width + x + b])
                    byte |= 0x80 >> b;
            out += char(byte);
        }
    return out;
}

bool make_directory(const std::string& path)
{
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

using Row = CatalogueRow;

bool write_row(const Row& r, const std::string& out_dir)
{
    Drawing drawing;
    if (!draw_row(r, drawing))
        return false;
    const std::string directory = out_dir + "/" + set_table[r.set_number - 1].name;
    const std::string path = out_dir + "/" + row_name(r);
    if (!make_directory(directory)) {
        std::fprintf(stderr, "render_glyphs: cannot create %s\n", directory.c_str());
        return false;
    }
    const std::string bytes = pbm(drawing.ink);
    FILE* f = std::fopen(path.c_str(), "wb");
    const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (!(f && std::fclose(f) == 0 && written)) {
        std::fprintf(stderr, "render_glyphs: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool list_row(const Row& r)
{
    Drawing drawing;
    if (!draw_row(r, drawing))
        return false;
    const char* hinting[] = {"unhinted", "hinted", "hinted both ways"};
    std::printf("%s\t%s\t%s\t%.3f\t%s\t%+d\t%.1f\n", row_name(r).c_str(),
                symbol_characters[r.row], typefaces[drawing.entry].name, drawing.proportions,
                hinting[drawing.style.hinting], drawing.style.weight, drawing.least);
    return true;
}

// The two kanji of the program's name, nine lines of 34 characters, one
// character per cell, printed as the C++ constant the program holds.
int print_logo()
{
    constexpr int columns = 34, lines = 9;
    FT_Face face = open_face(bold_typeface);
    const Frame frame = {columns, lines, 1, 1, 0, 0, columns, lines, 2.0, letter_gap};
    Coverage coverage;
    double proportions;
    if (!face || !draw_text(face, Style(), code_points("日本"), frame, supersampling, coverage,
                            proportions)) {
        std::fprintf(stderr, "render_glyphs: cannot draw the logo\n");
        return 1;
    }
    const std::vector<bool> ink = ink_cells(shares(coverage, supersampling), columns, lines);
    std::printf("static const char version_logo[] =\n");
    for (int y = 0; y < lines; ++y) {
        std::string line;
        for (int x = 0; x < columns; ++x)
            line += ink[size_t(y) * columns + x] ? '#' : ' ';
        std::printf("    \"%s\\n\"%s\n", line.c_str(), y + 1 == lines ? ";" : "");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string out_dir = "glyphs";
    std::vector<std::string> names;
    bool logo = false, list = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o" && i + 1 < argc) {
            out_dir = argv[++i];
        } else if (arg == "--logo") {
            logo = true;
        } else if (arg == "--list") {
            list = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "usage: render_glyphs [-o DIR] [Set/file.pbm ...]\n"
                                 "       render_glyphs --list [Set/file.pbm ...]\n"
                                 "       render_glyphs --logo\n");
            return 2;
        } else {
            names.push_back(arg);
        }
    }
    // Every face must be there before anything is drawn: a missing one would
    // fall back to another face and quietly change the pictures.
    std::string missing;
    for (const Typeface& t : typefaces)
        if (access(t.file, R_OK) != 0 &&
            (missing + " ").find(std::string(" ") + t.package + " ") == std::string::npos)
            missing = missing + " " + t.package;
    if (!missing.empty()) {
        std::fprintf(stderr, "render_glyphs: typefaces missing: apt-get install%s\n",
                     missing.c_str());
        return 1;
    }
    if (!start_drawing()) {
        std::fprintf(stderr, "render_glyphs: FreeType does not start\n");
        return 1;
    }
    if (logo)
        return print_logo();
    const std::vector<Row> every_row = catalogue_rows();
    std::vector<Row> rows = names.empty() ? every_row : std::vector<Row>();
    for (const std::string& name : names) {
        const auto found = std::find_if(every_row.begin(), every_row.end(),
                                        [&](const Row& r) { return row_name(r) == name; });
        if (found == every_row.end()) {
            std::fprintf(stderr, "render_glyphs: no row %s\n", name.c_str());
            return 1;
        }
        rows.push_back(*found);
    }
    if (!list && !make_directory(out_dir)) {
        std::fprintf(stderr, "render_glyphs: cannot create %s\n", out_dir.c_str());
        return 1;
    }
    int failed = 0;
    for (const Row& r : rows)
        failed += !(list ? list_row(r) : write_row(r, out_dir));
    return failed ? 1 : 0;
}
