#include "base/grid.h"

#include <cmath>

GridShape FitGrid(double minX, double maxX, double minY, double maxY, double baseCell, double budgetCells) {
    if (!(budgetCells >= 1)) budgetCells = 1;
    if (!(std::isfinite(maxX - minX) && maxX >= minX)) minX = maxX = 0;
    if (!(std::isfinite(maxY - minY) && maxY >= minY)) minY = maxY = 0;
    double size = baseCell > 0 ? baseCell : 1, columns = 1, rows = 1;
    for (;;) {
        columns = std::floor((maxX - minX) / size) + 1;
        rows = std::floor((maxY - minY) / size) + 1;
        if (columns * rows <= budgetCells) break;
        size *= 2;
    }
    return GridShape{size, static_cast<std::int32_t>(columns), static_cast<std::int32_t>(rows)};
}
