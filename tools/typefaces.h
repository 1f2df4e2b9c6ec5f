// Which typeface draws which picture. The picture generator renders with
// these faces; the tests use the same choice to group pictures by face.
// Nothing here needs FreeType.
#pragma once

#include <cstring>

#include "catalogue/catalogue.h"

struct Typeface {
    const char* name;      // the family and style as the font names itself
    const char* hand;      // print, pen, brush ...
    const char* file;      // font file as Debian installs it
    int face_index;        // face within the file (collections hold several)
    int embolden;          // added to every stroke, thousandths of the em, for
                           // faces whose hairlines would vanish on screen
    int fallback;          // entry used where this face lacks a character or
                           // draws it blank; -1 for the face that has them all
};

// Entries 0 to 7 draw the drawing numbers 1 to 8; the last entry draws the
// ".bold" kanji rows. Entry 0 holds every character of the catalogue and is
// every other face's fallback.
constexpr int drawing_typefaces = 8;
constexpr int bold_typeface = drawing_typefaces;
constexpr int typeface_count = drawing_typefaces + 1;

inline constexpr Typeface typefaces[typeface_count] = {
    {"Noto Sans CJK JP Medium", "print, sans-serif",
     "/usr/share/fonts/opentype/noto/NotoSansCJK-Medium.ttc", 0, 0, -1},
    {"Klee One SemiBold", "pen, as taught in school",
     "/usr/share/fonts/truetype/klee/KleeOne-SemiBold.ttf", 0, 0, 0},
    {"KouzanBrushFont", "brush, block script",
     "/usr/share/fonts/truetype/kouzan-mouhitsu/kouzan-mouhitsu.ttf", 0, 35, 0},
    {"Noto Serif CJK JP SemiBold", "print, serif",
     "/usr/share/fonts/opentype/noto/NotoSerifCJK-SemiBold.ttc", 0, 0, 0},
    {"MotoyaLMaru W3 mono", "print, rounded",
     "/usr/share/fonts/truetype/motoya-l-maruberi/MTLmr3m.ttf", 0, 0, 0},
    {"YOzNb Bold", "pen, everyday handwriting",
     "/usr/share/fonts/truetype/yozvox-yozfont/YOzBN_.ttf", 0, 0, 0},
    {"kiloji - B", "pen, longhand",
     "/usr/share/fonts/truetype/kiloji/kiloji_b.ttf", 0, 0, 0},
    {"Sawarabi Mincho Medium", "print, serif, light",
     "/usr/share/fonts/truetype/sawarabi-mincho/sawarabi-mincho-medium.ttf", 0, 0, 0},
    {"Noto Sans CJK JP Bold", "print, sans-serif, bold",
     "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc", 0, 0, -1},
};

// The entry that draws a row's picture, from its set number (1 to 5) and
// image file name. Syllables: "ka.3.pbm" is drawing 3. Kanji: "12.pbm" and
// the named rows ("yama.pbm") are drawing 1, "12.2.pbm" drawing 2,
// "yama.bold.pbm" the bold face.
inline int typeface_for(int set_number, const char* image_file)
{
    const char* dot = std::strchr(image_file, '.');
    if (set_number != Kanji)
        return dot && dot[1] >= '1' && dot[1] <= '8' ? dot[1] - '1' : 0;
    if (std::strstr(image_file, ".bold."))
        return bold_typeface;
    if (dot && std::strcmp(dot, ".2.pbm") == 0)
        return 1;
    return 0;
}
