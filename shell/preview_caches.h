#pragma once

struct PluginState;

// With relief a preview pixel has up to four facets, each a sample of its own.
constexpr int kPreviewFacetsPerPixel = 4;

// Allocates whichever of the preview's three caches is absent: the positions
// (two f32 per sample) and the summed diffuse and specular light (a 16-byte
// slot per sample each), for width x height samples, four times as many with
// relief (a pixel has up to four facets). New buffers start invalid. A refused
// allocation leaves its slot empty; the render then works without that cache.
// Buffers made for another number of samples are replaced, so that a cache
// never runs short whatever changed the preview since.
void ensurePreviewCaches(PluginState& state, int width, int height, bool textured);
