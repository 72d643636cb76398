#pragma once

#include <QStringList>
#include <functional>
#include <vector>

namespace velkaro {

// One row of the list pane: the first column's text, its image and the other columns.
struct ListRow
{
    QString text;
    int image = 0;
    QStringList cells;
};

// A list pane fill as the hub works it out; the list pane only inserts the rows.
struct ListFill
{
    std::vector<ListRow> rows;
    // The row count announced before the first row (the object fill of a database).
    int expectedRows = -1;
    // Asked before each row; true ends the fill (the stop is logged by the function itself).
    std::function<bool()> stop;
};

} // namespace velkaro
