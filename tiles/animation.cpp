#include "tiles/animation.h"

#include "base/files.h"

double AdvanceFrame(double first, double last, double current, double step) {
    if (last < first) return first - 0.4999;   // no frames to run through; wrapping would never end
    double rest = step;
    for (;;) {
        if (RoundEven(rest + current) <= last + 0.5) return rest + current;
        rest = rest + current - last - 1;
        current = first - 0.4999;
        if (rest <= 0) return current;
    }
}
