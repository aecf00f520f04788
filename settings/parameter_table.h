#pragma once
#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <span>
#include <vector>

#include "protocol/descriptor_tables.h"
#include "protocol/four_cc.h"
#include "settings/percent_scale.h"
#include "settings/settings.h"

// The one description of every script key: the filter's parameters in their
// published order, then the properties of one light in theirs. Each row gives
// the key, the French name the terminology publishes, the descriptor type, the
// unit and meaning the script reference shows and, for a slider setting, how
// the slider and a script show it. The script keys, the terminology, the
// script reference and its schema, the script reader and writer, the style
// reader's clamps, the defaults and the dialog's sliders all read it.

// The rows, in the table's order.
enum class Parameter {
    // The filter's parameters.
    Gloss,
    Material,
    Exposure,
    Ambience,
    AmbientColor,
    Texture,
    WhiteIsHigh,
    Relief,
    ImageWidth,
    CurrentLight,
    Lights,
    // The properties of one light.
    Color,
    Intensity,
    Focus,
    Enabled,
    Type,
    Position,
    Vector0,
    Vector1,
    Radius,
};
constexpr Parameter kFirstLightProperty = Parameter::Color;

// The filter's own descriptor types: its class of lights and its light type
// enumeration (the host's own types are in the protocol's descriptor tables).
namespace filterType {
constexpr uint32_t lightType = fourCC("LghT");
constexpr uint32_t light = fourCC("LghS");
} // namespace filterType

struct ParameterEntry {
    Parameter which; // the row's own place, checked below
    uint32_t scriptKey;
    const char* frenchName; // as the terminology publishes it (UTF-8 here)
    uint32_t type;          // a descriptorType
    const char* unit;       // for the script reference; "" for none
    const char* meaning;
    // A script's bounds where no slider gives them.
    std::optional<double> minimum = std::nullopt, maximum = std::nullopt;
    // The default the script reference shows where no setting gives one.
    const char* defaultText = nullptr;

    // A slider setting: the script carries the slider position as a percentage.
    PercentScale scale = PercentScale::Wide;
    int16_t defaultValue = 0; // stored value
    int16_t sliderMinimum = 0, sliderMaximum = 0;
    int16_t sliderOffset = 0; // stored value = slider position - offset
    // A slider setting is kept in exactly one of these: a material setting, or
    // a setting of each light.
    int16_t Settings::*setting = nullptr;
    int16_t LightSource::*lightSetting = nullptr;

    constexpr bool perLight() const { return which >= kFirstLightProperty; }
    constexpr bool isSlider() const { return setting || lightSetting; }
    // The slider shows 0..100 on the narrow scale, -100..100 on the wide one.
    constexpr bool showsPercent() const { return scale == PercentScale::Narrow; }

    int16_t storedFromSlider(int32_t position) const { return int16_t(position - sliderOffset); }
    int32_t sliderFromStored(int16_t stored) const { return int32_t(stored) + sliderOffset; }
    // A stored value brought into the slider's range (a style file's values
    // may be anything).
    int16_t clampStored(int16_t stored) const;
    // The script's percentage and back.
    int32_t percentFromStored(int16_t stored) const;
    int16_t storedFromPercent(int32_t percent) const;
};

namespace parameterRows {
constexpr int16_t kSliderMin = 0;
constexpr int16_t kSliderMax = 256;
// Ambience and intensity are stored centred: slider position 127 is 0.
constexpr int16_t kCentred = 127;

// The lights' meaning below names the light limit in words.
static_assert(kMaxLights == 16, "say the new light limit in the lights' meaning");
inline constexpr ParameterEntry kTable[] = {
    {.which = Parameter::Gloss,
     .scriptKey = fourCC("Glos"),
     .frenchName = "brillance",
     .type = descriptorType::integer,
     .unit = "percent",
     .meaning = "Gloss (\"Brillance\"): the strength of the highlights, from matt (-100) to shiny "
                "(100).",
     .defaultValue = 128,
     .sliderMinimum = kSliderMin,
     .sliderMaximum = kSliderMax,
     .setting = &Settings::gloss},
    {.which = Parameter::Material,
     .scriptKey = fourCC("Mtrl"),
     .frenchName = "matière",
     .type = descriptorType::integer,
     .unit = "percent",
     .meaning = "Material (\"Matière\"): the colour of the highlights, from plastic (-100, white "
                "highlights) to metal (100, highlights in the surface's colour).",
     .defaultValue = 0,
     .sliderMinimum = kSliderMin,
     .sliderMaximum = kSliderMax,
     .setting = &Settings::material},
    {.which = Parameter::Exposure,
     .scriptKey = fourCC("Exps"),
     .frenchName = "exposition",
     .type = descriptorType::integer,
     .unit = "percent",
     .meaning =
         "Exposure: the overall gain, from black (-100) through neutral (0) to bright (100).",
     .defaultValue = 128,
     .sliderMinimum = kSliderMin,
     .sliderMaximum = kSliderMax,
     .setting = &Settings::exposure},
    {.which = Parameter::Ambience,
     .scriptKey = fourCC("AmbB"),
     .frenchName = "ambiance",
     .type = descriptorType::integer,
     .unit = "percent",
     .meaning = "Ambience (\"Ambiance\"): the light every point gets whatever the lights, from "
                "negative (it darkens) to positive.",
     .defaultValue = 16,
     .sliderMinimum = kSliderMin,
     .sliderMaximum = kSliderMax,
     .sliderOffset = kCentred,
     .setting = &Settings::ambience},
    {.which = Parameter::AmbientColor,
     .scriptKey = fourCC("AmbC"),
     .frenchName = "couleur ambiante",
     .type = descriptorClass::rgbColor,
     .unit = "0..255 per component",
     .meaning = "The colour of the ambient light."},
    {.which = Parameter::Texture,
     .scriptKey = fourCC("BmpC"),
     .frenchName = "texture",
     .type = descriptorType::channelReference,
     .unit = "",
     .meaning = "The channel whose grey gives the surface its relief: {\"enum\": \"Rd  \"}, "
                "{\"enum\": \"Grn \"} or {\"enum\": \"Bl  \"} for a colour channel, {\"index\": "
                "N} for the document's channel N (counted from 1: 4 is the first after blue), or "
                "{\"name\": \"Relief\"}. Left out: no relief.",
     .defaultText = "none (no relief)"},
    {.which = Parameter::WhiteIsHigh,
     .scriptKey = fourCC("WhHi"),
     .frenchName = "blanc = haut",
     .type = descriptorType::boolean,
     .unit = "",
     .meaning = "Whether white stands high in the relief channel (false: black does)."},
    {.which = Parameter::Relief,
     .scriptKey = fourCC("BmpA"),
     .frenchName = "relief",
     .type = descriptorType::integer,
     .unit = "percent",
     .meaning = "How high the relief stands: 0 flat, 100 the highest.",
     .scale = PercentScale::Narrow,
     .defaultValue = 128,
     .sliderMinimum = kSliderMin,
     .sliderMaximum = kSliderMax,
     .setting = &Settings::reliefAmount},
    {.which = Parameter::ImageWidth,
     .scriptKey = fourCC("FrmW"),
     .frenchName = "largeur d'image",
     .type = descriptorType::real,
     .unit = "percent of the frame",
     .meaning = "The image's width in percent of the light frame, as the geometry was set: the "
                "relief's height follows it. Left out: the width the plug-in measures.",
     .minimum = 0.0,
     .defaultText = "the measured width"},
    {.which = Parameter::CurrentLight,
     .scriptKey = fourCC("CrnL"),
     .frenchName = "lumière courante",
     .type = descriptorType::integer,
     .unit = "light number",
     .meaning = "The light the dialog shows selected, counted from 1 (kept within the lights "
                "given).",
     .minimum = 1.0,
     .maximum = double(kMaxLights),
     .defaultText = "1"},
    {.which = Parameter::Lights,
     .scriptKey = fourCC("LghS"),
     .frenchName = "source d'orvane",
     .type = filterType::light,
     .unit = "",
     .meaning = "The lights, in order; the plug-in keeps the first 16 of a longer list. Each is "
                "an object of the keys below.",
     .defaultText = "none (a fresh plug-in has no lights: only the ambience lights the image)"},

    {.which = Parameter::Color,
     .scriptKey = fourCC("Clr "),
     .frenchName = "couleur",
     .type = descriptorClass::rgbColor,
     .unit = "0..255 per component",
     .meaning = "The light's colour."},
    {.which = Parameter::Intensity,
     .scriptKey = fourCC("Intn"),
     .frenchName = "intensité",
     .type = descriptorType::integer,
     .unit = "percent",
     .meaning = "The light's strength; below 0 it takes light away.",
     .defaultValue = 65,
     .sliderMinimum = kSliderMin,
     .sliderMaximum = kSliderMax,
     .sliderOffset = kCentred,
     .lightSetting = &LightSource::intensity},
    {.which = Parameter::Focus,
     .scriptKey = fourCC("Fcs "),
     .frenchName = "cône",
     .type = descriptorType::integer,
     .unit = "percent",
     .meaning = "A spot's cone (\"Cône\"): from narrow (-100) to wide (100), how the light falls "
                "off from its axis to the edge of its fixed 45° cone. Spots only.",
     .defaultValue = 128,
     .sliderMinimum = kSliderMin,
     .sliderMaximum = kSliderMax,
     .lightSetting = &LightSource::focus},
    {.which = Parameter::Enabled,
     .scriptKey = fourCC("On  "),
     .frenchName = "lumière active",
     .type = descriptorType::boolean,
     .unit = "",
     .meaning = "Whether the light shines."},
    {.which = Parameter::Type,
     .scriptKey = fourCC("LghT"),
     .frenchName = "type",
     .type = filterType::lightType,
     .unit = "",
     .meaning = "The light's kind: \"LghD\" directional (like the sun: one direction "
                "everywhere), \"LghO\" omni (a bulb shining every way) or \"LghS\" a spot (a cone "
                "lighting an ellipse)."},
    {.which = Parameter::Position,
     .scriptKey = fourCC("Pstn"),
     .frenchName = "position",
     .type = descriptorClass::point,
     .unit = "percent of the frame",
     .meaning = "The light's place [horizontal, vertical]: [0, 0] the frame's top left, [50, 50] "
                "its centre, [100, 100] its bottom right; beyond is allowed.",
     .defaultText = "[50, 50]"},
    {.which = Parameter::Vector0,
     .scriptKey = fourCC("Vct0"),
     .frenchName = "vecteur 0",
     .type = descriptorClass::point,
     .unit = "percent of the frame",
     .meaning = "A spot: the first semi-axis of the ellipse it lights, from its place. "
                "Directional: the side the light comes from (a short handle gives a steep light, "
                "a long one a grazing light). Written as a point with [50, 50] the zero vector: "
                "[80, 50] is 30 % of the frame to the right."},
    {.which = Parameter::Vector1,
     .scriptKey = fourCC("Vct1"),
     .frenchName = "vecteur 1",
     .type = descriptorClass::point,
     .unit = "percent of the frame",
     .meaning = "A spot: the second semi-axis of its ellipse (made perpendicular to the first and "
                "never longer), written as Vct0 is. Unused by other lights."},
    {.which = Parameter::Radius,
     .scriptKey = fourCC("Rds "),
     .frenchName = "rayon",
     .type = descriptorType::real,
     .unit = "percent of the frame",
     .meaning = "An omni light: the radius of its circle; it hangs above its place at tan 30° of "
                "that radius.",
     .minimum = 0.0},
};

// Every row stands at the place its name gives it.
constexpr bool rowsInOrder() {
    for (int i = 0; i < int(std::size(kTable)); ++i)
        if (int(kTable[i].which) != i)
            return false;
    return int(std::size(kTable)) == int(Parameter::Radius) + 1;
}
static_assert(rowsInOrder(), "the parameter table's rows follow the order of Parameter");
} // namespace parameterRows

constexpr const ParameterEntry& parameter(Parameter which) {
    return parameterRows::kTable[int(which)];
}
constexpr uint32_t keyOf(Parameter which) {
    return parameter(which).scriptKey;
}

// Every row, and the rows of one kind.
constexpr std::span<const ParameterEntry> parameterTable() {
    return parameterRows::kTable;
}
constexpr std::span<const ParameterEntry> filterParameters() {
    return parameterTable().first(size_t(kFirstLightProperty));
}
constexpr std::span<const ParameterEntry> lightProperties() {
    return parameterTable().subspan(size_t(kFirstLightProperty));
}
// The slider settings, in the table's order.
const std::vector<std::reference_wrapper<const ParameterEntry>>& sliderSettings();

// The slider setting with this script key among the filter's parameters
// (perLight false) or a light's properties (perLight true), or null.
const ParameterEntry* parameterWithKey(uint32_t scriptKey, bool perLight);

// Every slider setting of the material, or of one light, at its default.
void applyMaterialDefaults(Settings& settings);
void applyLightDefaults(LightSource& light);
// Every slider setting brought into its slider's range.
void clampToSliders(Settings& settings);
void clampToSliders(LightSource& light);
