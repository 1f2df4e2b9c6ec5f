// The usage and version texts.
#include "control/usage.h"

#include <cstdio>

#include "base/settings.h"
#include "control/version.h"

void print_usage()
{
    std::fprintf(settings.output, "%s",
        "Usage: rilk [options]\n"
        "options:\n"
        "  -h    print this help.\n"
        "  -D    debug mode on.\n"
        "  -v    print version.\n"
        "  -p f  set path of symbol\n"
        "        directories to \"f\".\n"
        "  -s    output grey shades.\n"
        "  -r    output in reverse.\n"
        "  -i f  input file or stream.\n"
        "  -o f  output file or stream.\n"
        "  -e f  error file or stream.\n"
        " display:\n"
        "  -x x  max. output width (32).\n"
        "  -y y  max. output height (22).\n"
        " exercise modes:\n"
        "  -/+t  browse/test (test).\n"
        "  -/+l  once/loop (loop).\n"
        " symbol sets (- off/+ on):\n"
        "  -/+g  hiragana (+).\n"
        "  -/+G  hiragana compound (-).\n"
        "  -/+k  katakana (-).\n"
        "  -/+K  katakana compound (-).\n"
        "  -/+j  kanji (-).\n"
        "Description: Japanese symbols\n"
        "             exerciser.\n");
}

// 日本 (Japan) in two kanji side by side, drawn once by the picture
// generator (`render_glyphs --logo`) and kept as drawn then: the generator's
// layout has changed since, so today it draws them a few cells apart.
static const char version_logo[] =
    "                       ###        \n"
    "#############          ###        \n"
    "##         ##   ################# \n"
    "##         ##        #######      \n"
    "#############       #########     \n"
    "##         ##     #### ###  ###   \n"
    "##         ##   ################# \n"
    "#############          ###        \n"
    "##         ##          ###        \n";

void print_version()
{
    std::fprintf(settings.output, "%s Rilk " RILK_VERSION "\n", version_logo);
}
