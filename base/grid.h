// Grids of square cells over a set of points, for finding what lies near a place: the drawing's grid of a layer and
// the rules' spatial index both size theirs here.
#pragma once

#include <cstdint>

struct GridShape {
    double cellSize = 0;
    std::int32_t columns = 1, rows = 1;
};

// The smallest power-of-two multiple of `baseCell` whose grid over [minX, maxX] x [minY, maxY] has at most
// `budgetCells` cells; never fewer than one column and one row. A span that is not finite counts as a point.
GridShape FitGrid(double minX, double maxX, double minY, double maxY, double baseCell, double budgetCells);
