// Turns catalogue/symbols.tsv into C++ source: the constant symbol table the
// program is built with, and the characters each row depicts (for tools and
// tests). Lines starting with "#" are comments; every other line is one row:
//   set, image file, character(s), translation, on reading, kun reading
// separated by tabs, in table order.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"

static std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

static bool fail(int line, const std::string& why)
{
    std::cerr << "symbols.tsv:" << line << ": " << why << "\n";
    return false;
}

static bool check_row(int line, const std::vector<std::string>& fields, int& set_index,
                      int (&rows_in_set)[set_count])
{
    if (fields.size() != 6)
        return fail(line, "expected 6 tab-separated fields");
    while (set_index < set_count && fields[0] != set_table[set_index].name)
        ++set_index;
    if (set_index == set_count)
        return fail(line, "unknown set or sets out of order: " + fields[0]);
    for (int f = 1; f < 6; ++f) {
        if (fields[f].empty())
            return fail(line, "empty field");
        if (f == 2)
            continue;   // the character is UTF-8
        for (unsigned char c : fields[f])
            if (c < 32 || c > 126)
                return fail(line, "texts must be printable ASCII");
    }
    ++rows_in_set[set_index];
    return true;
}

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: make_catalogue symbols.tsv table.cpp characters.cpp\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream table, characters;
    table << "// Generated from catalogue/symbols.tsv by make_catalogue. Do not edit.\n"
             "#include \"catalogue/catalogue.h\"\n\n"
             "const SymbolRecord symbol_table[symbol_count] = {\n";
    characters << "// Generated from catalogue/symbols.tsv by make_catalogue. Do not edit.\n"
                  "#include \"catalogue/characters.h\"\n\n"
                  "const char* const symbol_characters[symbol_count] = {\n";
    std::string text;
    int line = 0, set_index = 0;
    int rows_in_set[set_count] = {};
    while (std::getline(in, text)) {
        ++line;
        if (text.empty() || text[0] == '#')
            continue;
        std::vector<std::string> fields;
        std::stringstream split(text);
        std::string field;
        while (std::getline(split, field, '\t'))
            fields.push_back(field);
        if (!check_row(line, fields, set_index, rows_in_set))
            return 1;
        table << "    {" << quoted(fields[1]) << ", " << quoted(fields[3]) << ", "
              << quoted(fields[4]) << ", " << quoted(fields[5]) << "},\n";
        characters << "    " << quoted(fields[2]) << ",\n";
    }
    for (int s = 0; s < set_count; ++s)
        if (rows_in_set[s] != set_table[s].size) {
            std::cerr << "symbols.tsv: set " << set_table[s].name << " has " << rows_in_set[s]
                      << " rows, the table expects " << set_table[s].size << "\n";
            return 1;
        }
    table << "};\n";
    characters << "};\n";
    std::ofstream(argv[2]) << table.str();
    std::ofstream(argv[3]) << characters.str();
    return 0;
}
