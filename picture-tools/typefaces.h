// Which typeface draws which picture. The picture generator renders with
// these faces; the tests use the same choice to group pictures by face.
// Nothing here needs FreeType.
#pragma once

#include <cstring>

#include "catalogue/catalogue.h"
#include "catalogue/characters.h"

struct Typeface {
    const char* name;      // the family and style as the font names itself
    const char* hand;      // print, pen, brush ...
    const char* file;      // font file as Debian installs it
    const char* package;   // the Debian package that installs it
    int face_index;        // face within the file (collections hold several)
    int embolden;          // added to every stroke, thousandths of the em, for
                           // faces whose hairlines would vanish on screen
    int grid;              // dots to the em of a face designed on a grid, drawn
                           // at one dot to two columns by one line; 0 for
                           // outlines, drawn to fill the cells they can
    int fallback;          // entry used where this face lacks a character or
                           // draws it blank; -1 for the face that has them all
};

// Entries 0 to 7 draw the drawing numbers 1 to 8 of the syllables; the
// others draw kanji rows: the ".bold" rows, the numbered rows, and a named
// row that shows the same kanji as a named row before it, on grids of 16,
// 14 or 12 dots in the default set and of 24, 20 or 18 in the large one
// (whose second drawings are drawing 2's pen). Entry 0 is the other faces'
// fallback, and falls back on Noto Sans CJK JP Medium, which holds every
// character of the catalogue. Noto Sans CJK JP Medium and Bold and Noto
// Serif CJK JP Regular are also the outlines that pictures drawn on a grid
// are judged against; the bold one draws the version logo.
constexpr int drawing_typefaces = 8;
constexpr int bold_typeface = drawing_typefaces;   // Noto Sans CJK JP Bold
constexpr int grid_typeface = drawing_typefaces + 1;
constexpr int named_typeface = drawing_typefaces + 2;
constexpr int second_name_typeface = drawing_typefaces + 3;   // Noto Sans CJK JP Medium
constexpr int grid_second_drawing_typeface = drawing_typefaces + 4;
constexpr int grid_bold_typeface = drawing_typefaces + 5;
constexpr int grid_second_name_typeface = drawing_typefaces + 6;
// The outline a serif face on a grid is judged against (sans-serif ones
// against Noto Sans CJK JP Medium, bold ones against the bold face).
constexpr int serif_reference_typeface = drawing_typefaces + 7;
// The large set's kanji, on grids of 24, 20 and 18 dots. Its named rows
// take a bold face: the one-dot strokes of the 20-dot faces break into steps
// where they slant (糸, 衣), two-dot ones hold together.
constexpr int large_typeface = drawing_typefaces + 8;
constexpr int large_named_typeface = drawing_typefaces + 9;
constexpr int large_second_name_typeface = drawing_typefaces + 10;
constexpr int large_bold_typeface = drawing_typefaces + 11;
constexpr int large_second_drawing_typeface = drawing_typefaces + 12;
// A 16-dot face of another design, for default-set rows that the faces
// above draw ambiguously (see grid_face_of_row).
constexpr int grid_other_typeface = drawing_typefaces + 13;
constexpr int typeface_count = drawing_typefaces + 14;

inline constexpr Typeface typefaces[typeface_count] = {
    {"BIZ UDGothic Regular", "print, sans-serif, for legibility",
     "/usr/share/fonts/truetype/bizud-gothic/BIZUDGothic-Regular.ttf", "fonts-morisawa-bizud-gothic", 0, 0, 0, second_name_typeface},
    {"Klee One Regular", "pen, as taught in school",
     "/usr/share/fonts/truetype/klee/KleeOne-Regular.ttf", "fonts-klee", 0, 0, 0, 0},
    {"BIZ UDMincho Regular", "print, serif, for legibility",
     "/usr/share/fonts/truetype/bizud-mincho/BIZUDMincho-Regular.ttf", "fonts-morisawa-bizud-mincho", 0, 0, 0, 0},
    {"M PLUS 2 Bold", "print, sans-serif, geometric, bold",
     "/usr/share/fonts/opentype/mplus/Mplus2-Bold.otf", "fonts-mplus", 0, 0, 0, 0},
    {"Noto Serif CJK JP Bold", "print, serif, bold",
     "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc", "fonts-noto-cjk", 0, 0, 0, 0},
    {"YOzNb Bold", "pen, everyday handwriting",
     "/usr/share/fonts/truetype/yozvox-yozfont/YOzBN_.ttf", "fonts-yozvox-yozfont-new-kana", 0, 0, 0, 0},
    {"kiloji - B", "pen, longhand",
     "/usr/share/fonts/truetype/kiloji/kiloji_b.ttf", "fonts-kiloji", 0, 0, 0, 0},
    {"SetoFont", "pen, felt tip",
     "/usr/share/fonts/truetype/seto/setofont.ttf", "fonts-seto", 0, 0, 0, 0},
    {"Noto Sans CJK JP Bold", "print, sans-serif, bold",
     "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc", "fonts-noto-cjk", 0, 0, 0, 0},
    {"DotGothic16 Regular", "print, on a grid of dots",
     "/usr/share/fonts/truetype/dotgothic16/DotGothic16-Regular.ttf", "fonts-dotgothic16", 0, 0, 16, 0},
    {"Shinonome Mincho 16", "print, serif, on a grid of dots",
     "/usr/share/fonts/X11/misc/shnmk16min.pcf.gz", "xfonts-shinonome", 0, 0, 16, 0},
    {"Noto Sans CJK JP Medium", "print, sans-serif",
     "/usr/share/fonts/opentype/noto/NotoSansCJK-Medium.ttc", "fonts-noto-cjk-extra", 0, 0, 0, -1},
    {"Shinonome Mincho 14", "print, serif, on a grid of 14 dots",
     "/usr/share/fonts/X11/misc/shnmk14min.pcf.gz", "xfonts-shinonome", 0, 0, 14, 0},
    {"Shinonome Gothic Bold 16", "print, sans-serif, bold, on a grid of dots",
     "/usr/share/fonts/X11/misc/shnmk16b.pcf.gz", "xfonts-shinonome", 0, 0, 16, 0},
    {"Shinonome Maru 12", "print, rounded, on a grid of 12 dots",
     "/usr/share/fonts/X11/misc/shnmk12maru.pcf.gz", "xfonts-shinonome", 0, 0, 12, 0},
    {"Noto Serif CJK JP Regular", "print, serif",
     "/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc", "fonts-noto-cjk", 0, 0, 0, 0},
    {"efont Fixed 24", "print, serif, on a grid of 24 dots",
     "/usr/share/fonts/X11/misc/f24.pcf.gz", "xfonts-efont-unicode", 0, 0, 24, 0},
    {"Ayu Gothic Bold 20", "print, sans-serif, bold, on a grid of 20 dots",
     "/usr/share/fonts/X11/misc/k20gmb.pcf.gz", "xfonts-ayu", 0, 0, 20, 0},
    {"Kappa Mincho 20", "print, serif, on a grid of 20 dots",
     "/usr/share/fonts/X11/misc/k20m.pcf.gz", "xfonts-kappa20", 0, 0, 20, 0},
    {"Kappa Mincho Bold 20", "print, serif, bold, on a grid of 20 dots",
     "/usr/share/fonts/X11/misc/k20b.pcf.gz", "xfonts-kappa20", 0, 0, 20, 0},
    {"Ayu Gothic 18", "print, sans-serif, on a grid of 18 dots",
     "/usr/share/fonts/X11/misc/k18gm.pcf.gz", "xfonts-ayu", 0, 0, 18, 0},
    {"Fixed 16 (JIS X 0208)", "print, sans-serif, on a grid of dots",
     "/usr/share/fonts/X11/misc/j90-16.pcf.gz", "xfonts-intl-japanese", 0, 0, 16, 0},
};

// Default-set kanji rows drawn by another grid face than their kind of row
// would give them: its face merges their strokes (the bold face fuses them,
// the dots of 雨 tangle, a 12-dot face has no room for 絵), or prints much
// as the kanji's first row does. Each takes a face that no other row of its
// kanji uses.
struct FaceOfRow {
    const char* image_file;
    int entry;
};
inline constexpr FaceOfRow grid_face_of_row[] = {
    {"hei.pbm", grid_typeface},          {"hei.bold.pbm", grid_second_drawing_typeface},
    {"ryo.pbm", grid_typeface},          {"ryo.bold.pbm", grid_second_drawing_typeface},
    {"rei.pbm", grid_typeface},          {"rei.bold.pbm", grid_second_drawing_typeface},
    {"kiri.pbm", grid_typeface},         {"shimo.pbm", grid_typeface},
    {"kare.bold.pbm", grid_typeface},    {"toshi2.bold.pbm", grid_typeface},
    {"aki.bold.pbm", grid_second_drawing_typeface},
    {"e.pbm", grid_second_drawing_typeface},
    {"ksuri.pbm", grid_second_drawing_typeface},
    {"kawa.pbm", grid_second_drawing_typeface},
    {"aji.pbm", grid_second_drawing_typeface},
    {"en2.pbm", grid_second_drawing_typeface},
    {"436.pbm", grid_other_typeface},   // 自 with three compartments, not 日
    {"208.pbm", grid_other_typeface},   // 土 apart from 冂, not 過's 口
    {"114.pbm", grid_other_typeface},   // 母's dots as dots, not 骨's bars
    {"462.pbm", grid_other_typeface},   // 民, not 尾
    {"shu.pbm", 0},   // every 16-dot face closes 週's 土 into a box: 過
};

// Whether a kanji row with this image file is named (not numbered, not
// bold) and shows the same kanji as a named row earlier in the table.
inline bool repeats_a_named_kanji(const char* image_file)
{
    const auto named = [](const char* file) {
        return file[0] >= 'a' && file[0] <= 'z' && !std::strstr(file, ".bold.");
    };
    if (!named(image_file))
        return false;
    const SetInfo& kanji = set_table[Kanji - 1];
    int row = kanji.first_row;
    const int end = kanji.first_row + kanji.size;
    while (row < end && std::strcmp(symbol_table[row].image_file, image_file) != 0)
        ++row;
    for (int earlier = kanji.first_row; earlier < row && row < end; ++earlier)
        if (named(symbol_table[earlier].image_file) &&
            std::strcmp(symbol_characters[earlier], symbol_characters[row]) == 0)
            return true;
    return false;
}

// The entry that draws a row's picture, from its set number (1 to 5), image
// file name and picture set (0 the default, 1 the large one). Syllables:
// "ka.3.pbm" is drawing 3. Kanji: "12.pbm" a sans face in the default set, a
// serif one in the large set, "12.2.pbm" another (in the large set drawing
// 2, a pen), the named rows ("yama.pbm") a serif (large set: sans) face or,
// for a kanji's second named row, a face of their own, and "yama.bold.pbm" a
// bold face: on grids of 16, 14 or 12 dots in the default set, of 24 and 20
// in the large one. So no two rows that show one kanji share a face.
inline int typeface_for(int set_number, const char* image_file, int picture_set = 0)
{
    const char* dot = std::strchr(image_file, '.');
    if (set_number != Kanji)
        return dot && dot[1] >= '1' && dot[1] <= '8' ? dot[1] - '1' : 0;
    const bool grid = picture_set == 0;
    if (grid)
        for (const FaceOfRow& f : grid_face_of_row)
            if (std::strcmp(f.image_file, image_file) == 0)
                return f.entry;
    if (std::strstr(image_file, ".bold."))
        return grid ? grid_bold_typeface : large_bold_typeface;
    if (dot && std::strcmp(dot, ".2.pbm") == 0)
        return grid ? grid_second_drawing_typeface : 1;
    if (image_file[0] >= '0' && image_file[0] <= '9')
        return grid ? grid_typeface : large_typeface;
    if (repeats_a_named_kanji(image_file))
        return grid ? grid_second_name_typeface : large_second_name_typeface;
    return grid ? named_typeface : large_named_typeface;
}

// Every Debian package that holds a typeface, each once, in table order.
inline int typeface_packages(const char* packages[typeface_count])
{
    int count = 0;
    for (const Typeface& t : typefaces) {
        int seen = 0;
        while (seen < count && std::strcmp(packages[seen], t.package) != 0)
            ++seen;
        if (seen == count)
            packages[count++] = t.package;
    }
    return count;
}
