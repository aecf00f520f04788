#include "lighting/shade_strip.h"

// Relief shading arrives with the lighting engine.
void shadeStrip(const ReliefStrip&) {}
