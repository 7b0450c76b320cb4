// Animation over a texture's frames (catalogue indices into the image table).
#pragma once

// Moves `current` by `step` frames and wraps from `last` back to `first`, carrying the remainder. The value
// first - 0.4999 stands for the first frame (it rounds to it).
double AdvanceFrame(double first, double last, double current, double step);
