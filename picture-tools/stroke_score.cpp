#include "picture-tools/stroke_score.h"

#include <algorithm>

namespace {

// A run of ink along a column or line, from cell `first` to `last`.
struct Run {
    int first, last;
};

// The runs of true values along a profile.
std::vector<Run> runs_of(const std::vector<bool>& profile)
{
    std::vector<Run> runs;
    for (int i = 0; i < int(profile.size()); ++i) {
        if (!profile[i])
            continue;
        if (runs.empty() || runs.back().last != i - 1)
            runs.push_back({i, i});
        else
            runs.back().last = i;
    }
    return runs;
}

// How many of the fine strokes find a run of the screen of their own, in
// order, within a cell of where they lie.
int kept(const std::vector<Run>& fine, const std::vector<Run>& screen)
{
    int count = 0;
    size_t j = 0;
    for (const Run& f : fine) {
        while (j < screen.size() && screen[j].last < f.first - 1)
            ++j;
        if (j < screen.size() && screen[j].first <= f.last + 1) {
            ++count;
            ++j;
        }
    }
    return count;
}

// 8-connected pieces of a w x h grid: a label per cell (-1 for none) and
// the bounding box of every piece.
struct Pieces {
    std::vector<int> label;
    std::vector<int> left, top, right, bottom, size;
};

Pieces pieces_of(const std::vector<bool>& ink, int w, int h)
{
    Pieces p;
    p.label.assign(ink.size(), -1);
    std::vector<int> stack;
    for (int start = 0; start < w * h; ++start) {
        if (!ink[start] || p.label[start] >= 0)
            continue;
        const int id = int(p.size.size());
        p.left.push_back(w), p.top.push_back(h), p.right.push_back(-1), p.bottom.push_back(-1);
        p.size.push_back(0);
        stack.push_back(start);
        p.label[start] = id;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            const int x = i % w, y = i / w;
            p.left[id] = std::min(p.left[id], x), p.right[id] = std::max(p.right[id], x);
            p.top[id] = std::min(p.top[id], y), p.bottom[id] = std::max(p.bottom[id], y);
            ++p.size[id];
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                        continue;
                    const int n = ny * w + nx;
                    if (ink[n] && p.label[n] < 0) {
                        p.label[n] = id;
                        stack.push_back(n);
                    }
                }
        }
    }
    return p;
}

}  // namespace

CellMap cell_map(int width, int height, int max_width, int max_height)
{
    CellMap m;
    const double across = max_width < width ? double(max_width) / width : 1.0;
    const double down = max_height < height ? double(max_height) / height : 1.0;
    for (int x = 0; x < width; ++x)
        m.column_of.push_back(int((long double)x * across));
    m.columns = m.column_of.back() + 1;
    double accumulator = 0;
    int first_unprinted = 0;
    for (int y = 0; y < height; ++y) {
        m.line_of.push_back(m.lines);
        accumulator += down;
        if (accumulator >= 1.0) {
            accumulator -= 1.0;
            ++m.lines;
            first_unprinted = y + 1;
        }
    }
    for (int y = first_unprinted; y < height; ++y)
        m.line_of[y] = -1;
    return m;
}

std::vector<bool> screen_cells(const std::vector<bool>& ink, int width, const CellMap& m)
{
    std::vector<bool> cells(size_t(m.columns) * m.lines);
    const int height = int(ink.size()) / width;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (ink[size_t(y) * width + x] && m.line_of[y] >= 0)
                cells[size_t(m.line_of[y]) * m.columns + m.column_of[x]] = true;
    return cells;
}

StrokeScore score_screen(const std::vector<bool>& screen, const CellMap& m,
                         const std::vector<bool>& fine_ink, int fw, int fine_scale,
                         bool stroke_ends)
{
    StrokeScore s;
    const int fh = int(fine_ink.size()) / fw;
    const auto fine_at = [&](int x, int y) { return bool(fine_ink[size_t(y) * fw + x]); };
    const auto screen_at = [&](int k, int l) { return bool(screen[size_t(l) * m.columns + k]); };
    // The fine pixels of each column and line of cells.
    std::vector<int> x0(m.columns, fw), x1(m.columns, -1), y0(m.lines, fh), y1(m.lines, -1);
    for (int x = 0; x < fw; ++x) {
        const int k = m.column_of[x / fine_scale];
        x0[k] = std::min(x0[k], x), x1[k] = std::max(x1[k], x);
    }
    for (int y = 0; y < fh; ++y) {
        const int l = m.line_of[y / fine_scale];
        if (l >= 0)
            y0[l] = std::min(y0[l], y), y1[l] = std::max(y1[l], y);
    }
    // The fine strokes down every column of cells, then across every line,
    // in cells, and the screen's runs there.
    std::vector<std::vector<Run>> down(m.columns), across(m.lines);
    for (int k = 0; k < m.columns; ++k) {
        std::vector<bool> profile(fh);
        for (int y = 0; y < fh; ++y) {
            int inked = 0;
            for (int x = x0[k]; x <= x1[k]; ++x)
                inked += fine_at(x, y);
            profile[y] = 8 * inked >= 3 * (x1[k] - x0[k] + 1);
        }
        for (Run f : runs_of(profile)) {
            f.first = m.line_of[f.first / fine_scale], f.last = m.line_of[f.last / fine_scale];
            if (f.first >= 0 && f.last >= 0)
                down[k].push_back(f);
        }
    }
    for (int l = 0; l < m.lines; ++l) {
        std::vector<bool> profile(fw);
        for (int x = 0; x < fw; ++x) {
            int inked = 0;
            for (int y = y0[l]; y <= y1[l]; ++y)
                inked += fine_at(x, y);
            profile[x] = 8 * inked >= 3 * (y1[l] - y0[l] + 1);
        }
        for (Run f : runs_of(profile))
            across[l].push_back({m.column_of[f.first / fine_scale], m.column_of[f.last / fine_scale]});
    }
    // Without the ends, a stroke counts only where the drawing has it in the
    // columns (lines) on both sides too: where a stroke of another design
    // ends may differ by a cell or two without harm to the reading.
    const auto judged = [&](const std::vector<std::vector<Run>>& all, int i) {
        if (stroke_ends)
            return all[i];
        const auto continues = [&](const Run& f, int j) {
            if (j < 0 || j >= int(all.size()))
                return false;
            for (const Run& g : all[j])
                if (g.first <= f.last && g.last >= f.first)
                    return true;
            return false;
        };
        std::vector<Run> inner;
        for (const Run& f : all[i])
            if (continues(f, i - 1) && continues(f, i + 1))
                inner.push_back(f);
        return inner;
    };
    for (int k = 0; k < m.columns; ++k) {
        std::vector<bool> cells(m.lines);
        for (int l = 0; l < m.lines; ++l)
            cells[l] = screen_at(k, l);
        const std::vector<Run> fine = judged(down, k);
        s.crossings += int(fine.size());
        s.lost += int(fine.size()) - kept(fine, runs_of(cells));
    }
    for (int l = 0; l < m.lines; ++l) {
        std::vector<bool> cells(m.columns);
        for (int k = 0; k < m.columns; ++k)
            cells[k] = screen_at(k, l);
        const std::vector<Run> fine = judged(across, l);
        s.crossings += int(fine.size());
        s.lost += int(fine.size()) - kept(fine, runs_of(cells));
    }
    // Specks: a piece of one or two cells whose fine ink is missing or
    // belongs to a piece that reaches beyond the cells around it.
    const Pieces on_screen = pieces_of(screen, m.columns, m.lines);
    const Pieces in_fine = pieces_of(fine_ink, fw, fh);
    s.breaks = std::max(0, int(on_screen.size.size()) - int(in_fine.size.size()));
    for (size_t id = 0; id < on_screen.size.size(); ++id) {
        if (on_screen.size[id] > 2)
            continue;
        const int wl = x0[std::max(0, on_screen.left[id] - 1)];
        const int wr = x1[std::min(m.columns - 1, on_screen.right[id] + 1)];
        const int wt = y0[std::max(0, on_screen.top[id] - 1)];
        const int wb = y1[std::min(m.lines - 1, on_screen.bottom[id] + 1)];
        bool found = false, beyond = false;
        for (int k = on_screen.left[id]; k <= on_screen.right[id]; ++k)
            for (int l = on_screen.top[id]; l <= on_screen.bottom[id]; ++l)
                for (int y = y0[l]; y <= y1[l]; ++y)
                    for (int x = x0[k]; x <= x1[k]; ++x) {
                        const int f = in_fine.label[size_t(y) * fw + x];
                        if (f < 0)
                            continue;
                        found = true;
                        beyond = beyond || in_fine.left[f] < wl || in_fine.right[f] > wr ||
                                 in_fine.top[f] < wt || in_fine.bottom[f] > wb;
                    }
        s.specks += !found || beyond;
    }
    return s;
}

double screen_proportions(const std::vector<bool>& cells, const CellMap& m, int width,
                          int height, int& lines)
{
    int left = m.columns, right = -1, top = m.lines, bottom = -1;
    for (int l = 0; l < m.lines; ++l)
        for (int k = 0; k < m.columns; ++k)
            if (cells[size_t(l) * m.columns + k]) {
                left = std::min(left, k), right = std::max(right, k);
                top = std::min(top, l), bottom = std::max(bottom, l);
            }
    lines = right < 0 ? 0 : bottom - top + 1;
    if (right < 0)
        return 0;
    const double cell_width = double(width) / m.columns, cell_height = double(height) / m.lines;
    return (right - left + 1) * cell_width / (2.0 * lines * cell_height);
}
