// How well the bundled pictures read on screen: every picture as the program
// prints it, against a fine drawing of the same character in the same face.
//
//   legibility [-p DIR] [--large] [-x COLUMNS] [-y LINES] [-r] [-v] [Set/file.pbm ...]
//
// The pictures of the default set (DIR/Set/file.pbm) at its limits, 32 x 22,
// or with --large those of the large set (DIR/large/Set/file.pbm) at its
// own; other limits with -x and -y. A pixel of a picture is a cell of the
// screen at those limits, so what is judged is the screen itself, cell by
// cell, against an outline drawing of the same character eight times finer
// each way, at the same place and size, unhinted and with the generator's
// voicing marks: for a picture drawn from an outline face, that face's own
// outline; for one drawn from a face on a grid of dots, whose own dots would
// judge any picture perfect, fused strokes and all, the character in an
// outline face of the same kind (Noto Sans CJK, Noto Serif CJK, or Noto Sans
// CJK Bold) stretched over the picture's ink box. With -r every kanji is
// judged against that outline face of its kind, outline faces too, so that
// faces of both kinds compare on one measure.
//
// Strokes are judged away from their ends: a crossing counts only where the
// fine drawing has the stroke in the columns (lines) on both sides too, since
// where a stroke of another design ends may differ by a cell.
//
// For every column of cells the screen prints, the strokes that cross it
// from top to bottom in the fine drawing are matched in order with the runs
// of ink down that column on screen; a stroke that finds no run of its own
// (it was merged with its neighbour or dropped) is lost. The same across
// every line. A picture's loss is its lost crossings over all of them.
// Specks are pieces of one or two cells on screen that are no small piece
// of the fine drawing; breaks, pieces on screen beyond those of the fine
// drawing (strokes broken apart). Also counted: identical files among different rows,
// different characters that print the same in one set and face, ink boxes
// whose proportions are more than 15% off the face's, and under -s the
// share of inked cells that print the darkest shade.
//
// It prints the means per set and per face, the 20 worst pictures (with -v
// every picture, each with its screen), and a last line of totals. The pictures are read from DIR
// (default "glyphs"); the fine drawings come from the typefaces as the
// generator draws them, so the files should be the generator's own. Last,
// the most printed cells that two drawings of one syllable share (cells
// printed by both over cells printed by either), and the pairs above 85%.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/characters.h"
#include "base/settings.h"
#include "glyph/glyph.h"
#include "picture-tools/draw_row.h"
#include "picture-tools/outline_reference.h"
#include "picture-tools/stroke_score.h"
#include "picture-tools/typefaces.h"

namespace {

using Row = CatalogueRow;

// What the program prints for the row's picture under DIR.
std::string printed(const Row& r, const std::string& dir, int max_width, int max_height,
                    char shades)
{
    char* data = nullptr;
    size_t size = 0;
    settings.output = open_memstream(&data, &size);
    settings.symbol_path = dir.c_str();
    settings.max_width = max_width;
    settings.max_height = max_height;
    settings.grey_shades = shades;
    current_set_directory = set_table[r.set_number - 1].directory;
    open_glyph(&symbol_table[r.row]);
    render_glyph(&symbol_table[r.row]);
    std::fclose(settings.output);
    std::string text(data, size);
    std::free(data);
    return text;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

struct Score {
    Row row;
    int entry = 0;
    int crossings = 0, lost = 0;
    int specks = 0, breaks = 0;
    int ink_cells = 0, solid_cells = 0;
    int ink_lines = 0;
    bool proportions_off = false;
    Style style;
    double least = cell_share;
    std::string text;   // as printed
    double loss() const { return crossings ? double(lost) / crossings : 0.0; }
};

Score measure(const Row& r, const Drawing& d, const std::vector<std::string>& screen,
              const std::string& shaded, const CellMap& m, const PictureSet& set)
{
    Score s;
    s.row = r;
    s.entry = d.entry;
    s.style = d.style;
    s.least = d.least;
    const auto screen_at = [&](int k, int l) {
        return l < int(screen.size()) && k < int(screen[l].size()) && screen[l][k] != ' ';
    };
    std::vector<bool> cells(size_t(m.columns) * m.lines);
    for (int l = 0; l < m.lines; ++l)
        for (int k = 0; k < m.columns; ++k)
            cells[size_t(l) * m.columns + k] = screen_at(k, l);
    const StrokeScore strokes =
        score_screen(cells, m, d.fine, set.width * set.fine_scale, set.fine_scale, false);
    s.crossings = strokes.crossings, s.lost = strokes.lost, s.specks = strokes.specks;
    s.breaks = strokes.breaks;
    const double seen =
        screen_proportions(cells, m, set.width, set.height, s.ink_lines);
    s.proportions_off = s.ink_lines > 0 && std::fabs(seen / d.proportions - 1.0) > 0.15;
    for (const std::string& line : screen)
        s.text += line + "\n";
    for (char c : shaded) {
        s.ink_cells += c != ' ' && c != '\n';
        s.solid_cells += c == '#';
    }
    return s;
}

// Sums of a group of scores.
struct Tally {
    int pictures = 0, specks = 0, speckled = 0, breaks = 0, proportions_off = 0;
    double loss = 0, worst = 0, lines = 0, solid = 0;
    void add(const Score& s)
    {
        ++pictures;
        loss += s.loss();
        worst = std::max(worst, s.loss());
        specks += s.specks;
        speckled += s.specks > 0;
        breaks += s.breaks;
        lines += s.ink_lines;
        solid += s.ink_cells ? double(s.solid_cells) / s.ink_cells : 0;
        proportions_off += s.proportions_off;
    }
    void print(const std::string& name) const
    {
        if (!pictures)
            return;
        std::printf("%-40s %5d %6.1f %6.1f %6d %5d %6d %6.1f %6.1f %5d\n", name.c_str(), pictures,
                    100 * loss / pictures, 100 * worst, specks, speckled, breaks,
                    lines / pictures, 100 * solid / pictures, proportions_off);
    }
};

void print_heading(const char* what)
{
    std::printf("\n%-40s %5s %6s %6s %6s %5s %6s %6s %6s %5s\n", what, "pics", "loss%", "worst",
                "specks", "in", "breaks", "lines", "solid%", "prop");
}

std::string described(const Score& s)
{
    char text[256];
    const char* hinting[] = {"", ", hinted", ", hinted both ways"};
    std::snprintf(text, sizeof text, "%-24s %-4s %5.1f%% (%d of %d) specks %d breaks %d  %s%s, weight %d, cells %.1f%s",
                  row_name(s.row).c_str(), symbol_characters[s.row.row], 100 * s.loss(), s.lost,
                  s.crossings, s.specks, s.breaks, typefaces[s.entry].name, hinting[s.style.hinting],
                  s.style.weight, s.least, s.proportions_off ? ", proportions off" : "");
    return text;
}

// Of the cells that two screens print, the share both print.
double shared_cells(const std::string& a, const std::string& b)
{
    int both = 0, either = 0;
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const bool in_a = i < a.size() && a[i] != ' ' && a[i] != '\n';
        const bool in_b = i < b.size() && b[i] != ' ' && b[i] != '\n';
        both += in_a && in_b;
        either += in_a || in_b;
    }
    return either ? double(both) / either : 0.0;
}

std::string read_file(const std::string& path)
{
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string dir = "glyphs";
    int max_width = 0, max_height = 0;
    int set_number = 0;
    bool every = false, common_reference = false;
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-p" && i + 1 < argc) {
            dir = argv[++i];
        } else if (arg == "-x" && i + 1 < argc) {
            max_width = std::atoi(argv[++i]);
        } else if (arg == "-y" && i + 1 < argc) {
            max_height = std::atoi(argv[++i]);
        } else if (arg == "--large") {
            set_number = large_set;
        } else if (arg == "-r") {
            common_reference = true;
        } else if (arg == "-v") {
            every = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr,
                         "usage: legibility [-p DIR] [--large] [-x COLUMNS] [-y LINES] [-r] [-v] [Set/file.pbm ...]\n");
            return 2;
        } else {
            names.push_back(arg);
        }
    }
    const PictureSet& set = picture_sets[set_number];
    max_width = max_width ? max_width : set.max_width;
    max_height = max_height ? max_height : set.max_height;
    if (max_width < 1 || max_height < 1) {
        std::fprintf(stderr, "legibility: limits from 1 x 1\n");
        return 2;
    }
    dir += std::string("/") + set.directory;
    if (!start_drawing()) {
        std::fprintf(stderr, "legibility: FreeType does not start\n");
        return 1;
    }
    std::vector<Row> rows;
    for (const Row& r : catalogue_rows())
        if (names.empty() || std::find(names.begin(), names.end(), row_name(r)) != names.end())
            rows.push_back(r);
    settings.error = stderr;

    const CellMap m = cell_map(set.width, set.height, max_width, max_height);
    std::vector<Score> scores;
    std::map<std::string, std::vector<Row>> files;
    std::map<std::string, std::string> texts;   // set, face and text to characters
    int same_text = 0;
    for (const Row& r : rows) {
        Drawing d;
        if (!draw_row(r, set_number, d))
            return 1;
        if (common_reference && r.set_number == Kanji)
            draw_reference(d.entry, code_points(symbol_characters[r.row]), d.ink, set.width,
                           set.height, set.fine_scale, d.fine);
        const std::string text = printed(r, dir, max_width, max_height, 'n');
        const std::string shaded = printed(r, dir, max_width, max_height, 'y');
        scores.push_back(measure(r, d, lines_of(text), shaded, m, set));
        files[read_file(dir + set_table[r.set_number - 1].directory +
                        symbol_table[r.row].image_file)]
            .push_back(r);
        const std::string key = std::to_string(r.set_number) + " " + std::to_string(d.entry) +
                                "\n" + text;
        const auto seen = texts.emplace(key, symbol_characters[r.row]);
        if (!seen.second && seen.first->second != symbol_characters[r.row]) {
            ++same_text;
            std::printf("prints as %s: %s\n", seen.first->second.c_str(), row_name(r).c_str());
        }
    }

    std::printf("legibility of %zu pictures under %s at %d x %d\n", scores.size(), dir.c_str(),
                max_width, max_height);
    const auto kind_of = [](const Row& r) {
        return r.set_number == Kanji ? 0 : code_points(symbol_characters[r.row]).size() > 1 ? 2 : 1;
    };
    Tally sets[set_count], kinds[3], all;
    std::map<std::pair<int, int>, Tally> faces;
    for (const Score& s : scores) {
        sets[s.row.set_number - 1].add(s);
        kinds[kind_of(s.row)].add(s);
        faces[{s.row.set_number, s.entry}].add(s);
        all.add(s);
    }
    print_heading("set");
    for (int i = 0; i < set_count; ++i)
        sets[i].print(set_table[i].name);
    const char* kind_names[] = {"kanji", "kana", "compounds"};
    for (int i = 0; i < 3; ++i)
        kinds[i].print(kind_names[i]);
    print_heading("set and face");
    for (const auto& f : faces)
        f.second.print(std::string(set_table[f.first.first - 1].name) + " " +
                       typefaces[f.first.second].name);

    std::vector<Score> order = scores;
    std::stable_sort(order.begin(), order.end(), [](const Score& a, const Score& b) {
        return a.loss() != b.loss() ? a.loss() > b.loss() : a.specks > b.specks;
    });
    std::printf("\n%s\n", every ? "every picture, worst first" : "the 20 worst");
    for (size_t i = 0; i < order.size() && (every || i < 20); ++i)
        std::printf("  %s\n%s", described(order[i]).c_str(), every ? order[i].text.c_str() : "");

    int groups = 0, grouped = 0;
    for (const auto& f : files) {
        if (f.second.size() < 2)
            continue;
        ++groups;
        grouped += int(f.second.size());
        std::string line;
        for (const Row& r : f.second)
            line += " " + row_name(r);
        if (groups <= 10)
            std::printf("identical:%s\n", line.c_str());
    }
    int speckled = 0, specks = 0, breaks = 0;
    for (const Score& s : scores)
        speckled += s.specks > 0, specks += s.specks, breaks += s.breaks;
    // Drawings of one syllable: every pair, by the cells they print.
    std::map<std::string, std::vector<const Score*>> syllables;
    for (const Score& s : scores)
        if (s.row.set_number != Kanji) {
            const std::string name = row_name(s.row);
            syllables[name.substr(0, name.find('.'))].push_back(&s);
        }
    double most_shared = 0;
    int alike = 0;
    for (const auto& syllable : syllables)
        for (size_t i = 0; i < syllable.second.size(); ++i)
            for (size_t j = i + 1; j < syllable.second.size(); ++j) {
                const Score& a = *syllable.second[i];
                const Score& b = *syllable.second[j];
                const double shared = shared_cells(a.text, b.text);
                most_shared = std::max(most_shared, shared);
                if (shared > 0.85) {
                    ++alike;
                    std::printf("alike: %s %s share %.0f%% of their cells\n",
                                row_name(a.row).c_str(), row_name(b.row).c_str(), 100 * shared);
                }
            }
    std::printf("drawings of one syllable share at most %.0f%% of their cells; %d pairs above 85%%\n",
                100 * most_shared, alike);

    std::printf("\ntotal: %zu pictures, loss %.1f%% (kanji %.1f%%, kana %.1f%%, compounds "
                "%.1f%%), worst %.1f%%, %d specks in %d pictures, %d breaks, %d groups of identical "
                "files over %d rows, %d same prints, %d proportions off\n",
                scores.size(), 100 * all.loss / std::max(1, all.pictures),
                100 * kinds[0].loss / std::max(1, kinds[0].pictures),
                100 * kinds[1].loss / std::max(1, kinds[1].pictures),
                100 * kinds[2].loss / std::max(1, kinds[2].pictures), 100 * all.worst, specks,
                speckled, breaks, groups, grouped, same_text, all.proportions_off);
    return 0;
}
