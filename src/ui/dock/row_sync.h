#pragma once

// Brings a list model's rows to a new list with the fewest structural
// changes: rows whose key left are removed, rows that moved are moved, new
// ones inserted, and rows that stayed are told only which roles changed.
// Views keep their delegates, drags and scroll positions that way.
//
// `Edits` gives the model's protected calls: beginRemove(row), endRemove(),
// beginMove(from, to), endMove(), beginInsert(row), endInsert(), and
// changed(row, old, now), called after the row holds `now`. Keys should be
// unique; a repeated key is shown once, where it first comes.

#include <algorithm>
#include <cstddef>
#include <set>
#include <utility>
#include <vector>

namespace kd {

template <typename Row, typename KeyOf, typename Edits>
void syncRows(std::vector<Row>& rows, const std::vector<Row>& next, KeyOf keyOf, Edits& edits) {
    std::set<decltype(keyOf(next.front()))> wanted;
    for (const auto& row : next) wanted.insert(keyOf(row));
    for (auto i = static_cast<int>(rows.size()) - 1; i >= 0; --i) {
        if (wanted.contains(keyOf(rows[static_cast<std::size_t>(i)]))) continue;
        edits.beginRemove(i);
        rows.erase(rows.begin() + i);
        edits.endRemove();
    }
    std::set<decltype(keyOf(next.front()))> placed;
    std::size_t i = 0;  // the row the next wanted one goes to
    for (const auto& wantedRow : next) {
        const auto key = keyOf(wantedRow);
        if (!placed.insert(key).second) continue;
        const auto from = rows.begin() + static_cast<std::ptrdiff_t>(std::min(i, rows.size()));
        const auto found =
            std::find_if(from, rows.end(), [&](const Row& row) { return keyOf(row) == key; });
        if (found == rows.end()) {
            edits.beginInsert(static_cast<int>(i));
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(i), wantedRow);
            edits.endInsert();
            ++i;
            continue;
        }
        const auto at = static_cast<std::size_t>(found - rows.begin());
        if (at != i) {
            edits.beginMove(static_cast<int>(at), static_cast<int>(i));
            std::rotate(rows.begin() + static_cast<std::ptrdiff_t>(i), found, found + 1);
            edits.endMove();
        }
        auto old = std::exchange(rows[i], wantedRow);
        edits.changed(static_cast<int>(i), old, rows[i]);
        ++i;
    }
    while (rows.size() > i) {
        edits.beginRemove(static_cast<int>(rows.size()) - 1);
        rows.pop_back();
        edits.endRemove();
    }
}

}  // namespace kd
