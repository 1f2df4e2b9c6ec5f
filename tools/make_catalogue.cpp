// Turns catalogue/symbols.tsv into C++ source: the set table (catalogue/sets.h:
// the sets in order, with their names, directories, first rows and sizes),
// the constant symbol table the program is built with, and the characters
// each row depicts (for tools and tests). Lines starting with "#" are
// comments; every other line is one row:
//   set, image file, character(s), translation, on reading, kun reading
// separated by tabs, in table order; a set's rows stand together.
#include <cctype>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

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

struct Set {
    std::string name;
    int first_row;
    int size;
};

// A set name becomes an enumerator, a directory name and the switch
// use_<name in lower case> of Settings, so it is a letter and then letters
// or digits.
static bool is_set_name(const std::string& name)
{
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0])))
        return false;
    for (unsigned char c : name)
        if (!std::isalnum(c))
            return false;
    return true;
}

static bool check_row(int line, const std::vector<std::string>& fields, int row,
                      std::vector<Set>& sets)
{
    if (fields.size() != 6)
        return fail(line, "expected 6 tab-separated fields");
    if (sets.empty() || fields[0] != sets.back().name) {
        for (const Set& set : sets)
            if (set.name == fields[0])
                return fail(line, "the rows of set " + fields[0] + " do not stand together");
        if (!is_set_name(fields[0]))
            return fail(line, "a set name is a letter and then letters or digits: " + fields[0]);
        sets.push_back({fields[0], row, 0});
    }
    for (int f = 1; f < 6; ++f) {
        if (fields[f].empty())
            return fail(line, "empty field");
        if (f == 2)
            continue;   // the character is UTF-8
        for (unsigned char c : fields[f])
            if (c < 32 || c > 126)
                return fail(line, "texts must be printable ASCII");
    }
    ++sets.back().size;
    return true;
}

static std::string set_header(const std::vector<Set>& sets, int rows)
{
    std::ostringstream out;
    out << "// Generated from catalogue/symbols.tsv by make_catalogue. Do not edit.\n"
           "// Included by catalogue/catalogue.h.\n"
           "#pragma once\n\n"
           "enum SymbolSet {";
    for (size_t s = 0; s < sets.size(); ++s)
        out << (s ? ", " : " ") << sets[s].name << " = " << s + 1;
    out << " };\n\n"
           "constexpr int set_count = " << sets.size() << ";\n"
           "constexpr int symbol_count = " << rows << ";\n\n"
           "// Indexed by set number - 1.\n"
           "inline constexpr SetInfo set_table[set_count] = {\n";
    for (const Set& set : sets) {
        std::string lower;
        for (char c : set.name)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        out << "    {" << quoted(set.name) << ", " << quoted("/" + set.name + "/") << ", "
            << set.first_row << ", " << set.size << ", &Settings::use_" << lower << "},\n";
    }
    out << "};\n";
    return out.str();
}

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::cerr << "usage: make_catalogue symbols.tsv sets.h table.cpp characters.cpp\n";
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
    int line = 0, rows = 0;
    std::vector<Set> sets;
    while (std::getline(in, text)) {
        ++line;
        if (text.empty() || text[0] == '#')
            continue;
        std::vector<std::string> fields;
        std::stringstream split(text);
        std::string field;
        while (std::getline(split, field, '\t'))
            fields.push_back(field);
        if (!check_row(line, fields, rows, sets))
            return 1;
        ++rows;
        table << "    {" << quoted(fields[1]) << ", " << quoted(fields[3]) << ", "
              << quoted(fields[4]) << ", " << quoted(fields[5]) << "},\n";
        characters << "    " << quoted(fields[2]) << ",\n";
    }
    if (rows == 0) {
        std::cerr << "symbols.tsv: no rows\n";
        return 1;
    }
    table << "};\n";
    characters << "};\n";
    const std::string outputs[3] = {set_header(sets, rows), table.str(), characters.str()};
    for (int i = 0; i < 3; ++i) {
        std::ofstream out(argv[2 + i], std::ios::binary);
        out << outputs[i];
        if (!out.flush()) {
            std::cerr << "cannot write " << argv[2 + i] << "\n";
            return 1;
        }
    }
    return 0;
}
