#pragma once
#include <optional>
#include <string>

#include "host/zerafin/image_files/document.h"
#include "host/zerafin/plugin_services/descriptor_model.h"

// What the whole-run and preview benchmarks light: a square image of rough
// noise with a "Relief" channel, and a script of lights.

Document makeBenchDocument(int size);

// The script's material and `count` lights: a spot, an omni light and a
// directional light, repeated a little further along for more than three.
std::string benchMaterialAndLights(int count);

// A script's text: its opening keys (the material and the lights, the object
// left open), closed with the "Relief" channel as texture when asked.
std::string benchScriptText(const std::string& materialAndLights, bool relief);

// The same script as a descriptor: null with a message on stderr when it does
// not read.
std::optional<Descriptor> benchScript(const std::string& materialAndLights, bool relief);
