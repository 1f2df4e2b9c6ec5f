// Draws the pictures of every catalogue row from a typeface, in both sets,
// and writes each as a raw PBM under <out>/<Set>/<image file> (the default
// set) and <out>/large/<Set>/<image file> (the large one).
//
//   render_glyphs [-o DIR] [Set/file.pbm ...]   all rows, or the rows named
//                                               (large/Set/file.pbm for the
//                                               large set)
//   render_glyphs --list [Set/file.pbm ...]     the face that draws each row,
//                                               the glyph's proportions, and
//                                               how it was drawn: hinting,
//                                               weight, share of a cell inked
//   render_glyphs --packages                    the Debian packages that hold
//                                               the typefaces, one a line
//   render_glyphs --logo                        the version logo, as C++
//
// A pixel of a picture is a character cell of the screen: the default set's
// pictures are at most 32 x 16 pixels and print one line per pixel row at
// the default limits (-x 32 -y 22) and any larger ones; the large set's are
// at most 48 x 24, for -x 48 -y 24. A terminal cell is about twice as tall
// as wide, so a glyph is drawn about twice as wide as high in pixels to keep
// its proportions on screen. Rendering is deterministic: the same fonts give
// the same bytes.
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
#include "picture-tools/draw_row.h"
#include "picture-tools/typefaces.h"

namespace {

std::string pbm(const std::vector<bool>& ink, int width, int height)
{
    std::string out = "P4\n" + std::to_string(width) + " " + std::to_string(height) + "\n";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; x += 8) {
            unsigned char byte = 0;
            for (int b = 0; b < 8 && x + b < width; ++b)
                if (ink[size_t(y) * width + x + b])
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

// A row of a set of pictures.
struct Named {
    Row row;
    int set;
};

bool write_row(const Named& n, const std::string& out_dir)
{
    Drawing drawing;
    if (!draw_row(n.row, n.set, drawing))
        return false;
    const std::string set_directory = out_dir + "/" + picture_sets[n.set].directory;
    const std::string directory = set_directory + set_table[n.row.set_number - 1].name;
    const std::string path = out_dir + "/" + row_name(n.row, n.set);
    if (!make_directory(set_directory) || !make_directory(directory)) {
        std::fprintf(stderr, "render_glyphs: cannot create %s\n", directory.c_str());
        return false;
    }
    const PictureSet& set = picture_sets[n.set];
    const std::string bytes = pbm(drawing.ink, set.width, set.height);
    FILE* f = std::fopen(path.c_str(), "wb");
    const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (!(f && std::fclose(f) == 0 && written)) {
        std::fprintf(stderr, "render_glyphs: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool list_row(const Named& n)
{
    Drawing drawing;
    if (!draw_row(n.row, n.set, drawing))
        return false;
    const char* hinting[] = {"unhinted", "hinted", "hinted both ways"};
    std::printf("%s\t%s\t%s\t%.3f\t%s\t%+d\t%.1f\n", row_name(n.row, n.set).c_str(),
                symbol_characters[n.row.row], typefaces[drawing.entry].name, drawing.proportions,
                hinting[drawing.style.hinting], drawing.style.weight, drawing.least);
    return true;
}

// The two kanji of the program's name, nine lines of 34 characters, one
// character per cell, printed as the C++ constant the program holds.
int print_logo()
{
    constexpr int columns = 34, lines = 9;
    FT_Face face = open_face(bold_typeface);
    const Frame frame = {columns, lines, 0, 0, columns, lines, 2.0, 2, false};
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
        } else if (arg == "--packages") {
            const char* packages[typeface_count];
            const int count = typeface_packages(packages);
            for (int p = 0; p < count; ++p)
                std::printf("%s\n", packages[p]);
            return 0;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "usage: render_glyphs [-o DIR] [Set/file.pbm ...]\n"
                                 "       render_glyphs --list [Set/file.pbm ...]\n"
                                 "       render_glyphs --packages\n"
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
    std::vector<Named> every_row;
    for (int set = 0; set < picture_set_count; ++set)
        for (const Row& r : catalogue_rows())
            every_row.push_back({r, set});
    std::vector<Named> rows = names.empty() ? every_row : std::vector<Named>();
    for (const std::string& name : names) {
        const auto found = std::find_if(every_row.begin(), every_row.end(), [&](const Named& n) {
            return row_name(n.row, n.set) == name;
        });
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
    for (const Named& n : rows)
        failed += !(list ? list_row(n) : write_row(n, out_dir));
    return failed ? 1 : 0;
}
