#include "gfx/view.h"

BoardView view;
double uiScaleX = 0, uiScaleY = 0;
std::int32_t isFourByThree = 0;
std::int32_t fourByThreeWidth = 0, fourByThreeHeight = 0;
