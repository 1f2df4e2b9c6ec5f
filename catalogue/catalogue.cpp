#include <cstdlib>

#include "catalogue/catalogue.h"

// Every draw divides the generator's value by 2^31, so it spans 0 to 1 only
// if rand() reaches 2^31 - 1.
static_assert(RAND_MAX == 2147483647,
              "every draw divides rand() by 2^31: with a smaller RAND_MAX every draw is "
              "near 0, every pick is hiragana, and a pick with hiragana off never ends");

int set_sizes[set_count];
const char* current_set_directory = nullptr;
RandomSource random_source = &std::rand;

void fix_set_sizes()
{
    for (int s = 0; s < set_count; ++s)
        set_sizes[s] = set_table[s].size;
}

double random_draw()
{
    return random_source() / 2147483648.0;
}

const SymbolRecord* pick_symbol()
{
    for (;;) {
        const int s = static_cast<int>(random_draw() * set_count);
        // The row is drawn in every attempt, before the set's switch is seen.
        const double b = random_draw();
        const SetInfo& set = set_table[s];
        if (settings.*set.use == 'y') {
            current_set_directory = set.directory;
            return &symbol_table[set.first_row + static_cast<int>(set_sizes[s] * b)];
        }
    }
}
