#include "base/frame_clock.h"

double lastFrameTime = 0;
double frameTime = 0;
double frameStep = 0;
