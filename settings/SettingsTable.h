#pragma once

#include <cstddef>
#include <iterator>
#include <type_traits>
#include <vector>

// A settings table lists its rows in the order the values are loaded, and
// each row names its place among the writes of a save (savePosition): the
// two orders differ, and a save cut short keeps what came first. Both
// helpers take the number of rows from the table, so adding or removing a
// row changes nothing else.
namespace SettingsTable {

// True when the rows' places are 0 to the number of rows - 1, each held by
// exactly one row: then a save writes every row once. A table checks itself
// with it at compile time.
template <class Rows>
constexpr bool hasEverySavePosition(const Rows& rows)
{
    const std::size_t count = std::size(rows);
    for (std::size_t place = 0; place < count; ++place) {
        std::size_t holders = 0;
        for (const auto& row : rows) {
            if (row.savePosition >= 0 && std::size_t(row.savePosition) == place)
                ++holders;
        }
        if (holders != 1)
            return false;
    }
    return true;
}

// The rows in the order a save writes them; the table has every save position.
template <class Rows>
auto inSaveOrder(const Rows& rows)
{
    using Row = std::remove_cvref_t<decltype(*std::begin(rows))>;
    std::vector<const Row*> order(std::size(rows));
    for (const auto& row : rows)
        order[std::size_t(row.savePosition)] = &row;
    return order;
}

} // namespace SettingsTable
