#include "lighting/shade_flat.h"

// Flat shading arrives with the lighting engine.
void shadeFlatRows(const FlatRows&) {}
