// The picture of a catalogue row: drawn from its face in several ways, of
// which the one that keeps most strokes apart on screen is kept.
#include <cmath>
#include <cstdio>

#include "catalogue/catalogue.h"
#include "picture-tools/draw_row.h"
#include "picture-tools/outline_reference.h"
#include "picture-tools/stroke_score.h"
#include "picture-tools/typefaces.h"

namespace {

// Two characters in one picture are drawn at about half the size of one:
// their strokes are thickened by this many thousandths of the em to stay
// whole on screen.
constexpr int compound_weight = 30;
// The kana of a compound syllable are drawn as if a cell were this many
// times as tall as wide rather than twice: 10% narrower, to stand taller in
// the width they share; and down to the narrowest aspect of their set where
// that lets them stand taller still.
constexpr double compound_aspect = 1.8;
constexpr double narrowest_compound_aspect[picture_set_count] = {1.2, 1.2};
// Blank columns between the kana of a compound, per set: their bars never
// run on as one line.
constexpr int compound_gap[picture_set_count] = {2, 3};
// The share of its strokes a large kanji in outline may lose on screen.
constexpr double outline_loss = 0.02;
// A picture may be drawn this many thousandths of the em thinner than its
// face where that keeps strokes apart.
constexpr int thinning = 20;
// Or this much thicker, where that keeps thin strokes whole.
constexpr int thickening = 15;
// Default-set pictures whose best-scoring way of drawing does not read at a
// glance, each drawn in the one way that does, chosen by eye: the weight
// added to the face's (thousandths of the em), the hinting and the share of
// a cell that shows ink.
struct WayOfRow {
    const char* name;
    int weight;
    int hinting;
    double least;
};
constexpr WayOfRow way_of_row[] = {
    {"Hiragana/ki.3.pbm", 0, 0, 0.3},     // serifs joined to their bars, not loose dots
    {"Katakana/ki.3.pbm", 15, 0, 0.3},    // the lower bar one band, not a zigzag
    {"Hiragana/mu.7.pbm", -20, 0, 0.5},   // dot and hook three lines apart: not お
    {"Hiragana/so.7.pbm", -20, 0, 0.5},   // the zigzag on top apart from the bar
};
// How badly a picture of the set reads on screen, one cell to a pixel: the
// strokes the screen loses, a speck or a stroke broken in two as bad as two
// of them; -1 where its proportions are more than 15% off the face's.
int badness(const PictureSet& set, const std::vector<bool>& ink, const std::vector<bool>& fine,
            double proportions)
{
    const CellMap m = cell_map(set.width, set.height, set.width, set.height);
    int lines;
    const double seen = screen_proportions(ink, m, set.width, set.height, lines);
    if (lines == 0 || std::fabs(seen / proportions - 1.0) > 0.15)
        return -1;
    const StrokeScore s = score_screen(ink, m, fine, set.width * set.fine_scale, set.fine_scale);
    return s.lost + 2 * (s.specks + s.breaks);
}

// The share of the strokes that a picture of the set loses on screen.
double loss(const PictureSet& set, const Drawing& d)
{
    const CellMap m = cell_map(set.width, set.height, set.width, set.height);
    const StrokeScore s = score_screen(d.ink, m, d.fine, set.width * set.fine_scale, set.fine_scale);
    return s.crossings ? double(s.lost) / s.crossings : 0.0;
}

// The picture of a row in the given face and its fine drawing; false when
// the face cannot draw it. Faces on a grid are drawn as they are. Outlines
// are drawn unhinted, hinted onto the screen's lines, and onto its lines and
// columns, each at the face's weight, a little thinner, a little thicker and
// thinner still, twice, and each reduced with cells that show ink from half,
// two fifths or three tenths covered; the one that reads best wins, the
// first of equals, unless `way` names the one to keep.
bool draw_picture(int entry, const char* characters, int set_number, Drawing& drawing,
                  const WayOfRow* way = nullptr)
{
    FT_Face face = open_face(entry);
    if (!face)
        return false;
    const PictureSet& set = picture_sets[set_number];
    const bool large = set_number == large_set;
    const std::vector<unsigned> text = code_points(characters);
    // A blank column or two at either side; two characters take the whole
    // width. No blank lines: the prompt follows the picture.
    const bool compound = text.size() > 1;
    const int margin = compound || large ? 0 : 1;
    const Frame frame = {set.width,
                         set.height,
                         margin,
                         0,
                         set.width - 2 * margin,
                         set.height,
                         compound ? compound_aspect : 2.0,
                         compound_gap[set_number],
                         large,
                         1,
                         narrowest_compound_aspect[set_number]};
    Style style;
    style.weight = typefaces[entry].embolden + (compound ? compound_weight : 0);
    style.grid = typefaces[entry].grid;
    Coverage coverage;
    if (!draw_text(face, style, text, frame, supersampling, coverage, drawing.proportions))
        return false;
    drawing.ink = reduce(coverage, supersampling);
    if (!has_ink(drawing.ink))
        return false;
    drawing.style = style;
    drawing.fine.clear();
    for (double share : shares(coverage, supersampling / set.fine_scale))
        drawing.fine.push_back(share >= 0.5);   // half covered
    if (style.grid > 0 || !FT_IS_SCALABLE(face)) {
        // Judged against an outline, not against its own dots.
        draw_reference(entry, text, drawing.ink, set.width, set.height, set.fine_scale,
                       drawing.fine);
        return true;
    }
    int best = badness(set, drawing.ink, drawing.fine, drawing.proportions);
    for (int weight : {style.weight, style.weight - thinning, style.weight + thickening,
                       style.weight - 2 * thinning, style.weight - 3 * thinning})
        for (int hinting = 0; hinting <= 2; ++hinting) {
            if (way && (weight != style.weight + way->weight || hinting != way->hinting))
                continue;
            Style other = style;
            other.weight = weight;
            other.hinting = hinting;
            double proportions;
            if (!draw_text(face, other, text, frame, supersampling, coverage, proportions))
                continue;
            for (double least : {cell_share, 0.4, 0.3}) {
                std::vector<bool> ink = reduce(coverage, supersampling, least);
                if (way && least != way->least)
                    continue;
                const int bad = badness(set, ink, drawing.fine, drawing.proportions);
                if (has_ink(ink) && bad >= 0 && (best < 0 || bad < best || way)) {
                    best = bad;
                    drawing.ink = std::move(ink);
                    drawing.style = other;
                    drawing.least = least;
                }
            }
        }
    return true;
}

}  // namespace

std::string row_name(const CatalogueRow& r, int set)
{
    return std::string(picture_sets[set].directory) + set_table[r.set_number - 1].name + "/" +
           symbol_table[r.row].image_file;
}

bool draw_row(const CatalogueRow& r, int set, Drawing& drawing)
{
    const char* characters = symbol_characters[r.row];
    int entry = typeface_for(r.set_number, symbol_table[r.row].image_file, set);
    const WayOfRow* way = nullptr;
    for (const WayOfRow& w : way_of_row)
        if (set == 0 && row_name(r, set) == w.name)
            way = &w;
    while (entry >= 0 && !draw_picture(entry, characters, set, drawing, way))
        entry = typefaces[entry].fallback, way = nullptr;
    drawing.entry = entry;
    // A large kanji in outline (the pen of the second drawings) that merges
    // or drops more strokes than `outline_loss` allows is drawn instead from
    // a face on a grid of dots of its own.
    const PictureSet& s = picture_sets[set];
    if (entry >= 0 && set == large_set && r.set_number == Kanji && typefaces[entry].grid == 0 &&
        loss(s, drawing) > outline_loss) {
        Drawing dots;
        if (draw_picture(large_second_drawing_typeface, characters, set, dots)) {
            drawing = dots;
            drawing.entry = large_second_drawing_typeface;
        }
    }
    if (entry < 0)
        std::fprintf(stderr, "render_glyphs: no face draws %s (\"%s\")\n",
                     row_name(r, set).c_str(), characters);
    return entry >= 0;
}
