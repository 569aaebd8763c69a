// A uniform grid over the diagram that finds the items whose bounds lie near
// a rectangle without looking at the others: the canvas asks it what to draw
// in the part of the window being repainted.
#pragma once

#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/types.h"

namespace tarvel {

template <typename Item>
class ItemGrid {
public:
    explicit ItemGrid(float cell) : m_cell(cell) {}

    void clear() { m_cells.clear(); }

    // An item enters every cell its bounds touch; it leaves with the same bounds.
    void insert(const Item* item, const RectF& bounds) {
        forCells(bounds, [&](std::int64_t k) { m_cells[k].push_back(item); });
    }
    void remove(const Item* item, const RectF& bounds) {
        forCells(bounds, [&](std::int64_t k) {
            const auto it = m_cells.find(k);
            if (it == m_cells.end()) {
                return;
            }
            auto& v = it->second;
            for (std::size_t i = 0; i < v.size(); ++i) {
                if (v[i] == item) {
                    v[i] = v.back();
                    v.pop_back();
                    break;
                }
            }
            if (v.empty()) {
                m_cells.erase(it);
            }
        });
    }

    // Every item in the cells the rectangle touches, each once.
    std::vector<const Item*> near(const RectF& r) const {
        std::vector<const Item*> out;
        std::unordered_set<const Item*> seen;
        forCells(r, [&](std::int64_t k) {
            const auto it = m_cells.find(k);
            if (it == m_cells.end()) {
                return;
            }
            for (const Item* item : it->second) {
                if (seen.insert(item).second) {
                    out.push_back(item);
                }
            }
        });
        return out;
    }

private:
    template <typename F>
    void forCells(const RectF& r, F f) const {
        const auto x0 = static_cast<std::int64_t>(std::floor(r.left / m_cell));
        const auto x1 = static_cast<std::int64_t>(std::floor(r.right() / m_cell));
        const auto y0 = static_cast<std::int64_t>(std::floor(r.top / m_cell));
        const auto y1 = static_cast<std::int64_t>(std::floor(r.bottom() / m_cell));
        for (std::int64_t x = x0; x <= x1; ++x) {
            for (std::int64_t y = y0; y <= y1; ++y) {
                f((x << 32) ^ (y & 0xFFFFFFFF));
            }
        }
    }

    float m_cell;
    std::unordered_map<std::int64_t, std::vector<const Item*>> m_cells;
};

}  // namespace tarvel
