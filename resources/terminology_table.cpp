#include "resources/terminology_table.h"

#include "protocol/four_cc.h"

namespace {
// Terminology flags.
constexpr uint16_t kListOfItems = 0x4000;
constexpr uint16_t kEnumerated = 0x2000;
constexpr uint16_t kReadWrite = 0x1000;
constexpr uint16_t kDirectParameterFlags = 0xB000;
} // namespace

Terminology orvaneTerminology() {
    Terminology terminology{};
    terminology.suiteName = "Zerafin";
    terminology.suiteCode = fourCC("ZRFN");
    terminology.eventName = "orvane";
    terminology.eventClass = kFilterEventClass;
    terminology.eventCode = kOrvaneEventCode;
    terminology.replyType = fourCC("null");
    terminology.directParameterType = fourCC("#ImR"); // the image
    terminology.directParameterFlags = kDirectParameterFlags;
    terminology.parameters = {
        {"brillance", fourCC("Glos"), fourCC("long"), 0},
        {"matière", fourCC("Mtrl"), fourCC("long"), 0},
        {"exposition", fourCC("Exps"), fourCC("long"), 0},
        {"ambiance", fourCC("AmbB"), fourCC("long"), 0},
        {"couleur ambiante", fourCC("AmbC"), fourCC("RGBC"), 0},
        {"texture", fourCC("BmpC"), fourCC("#ChR"), 0},
        {"blanc = haut", fourCC("WhHi"), fourCC("bool"), 0},
        {"relief", fourCC("BmpA"), fourCC("long"), 0},
        {"largeur d'image", fourCC("FrmW"), fourCC("doub"), 0},
        {"lumière courante", fourCC("CrnL"), fourCC("long"), 0},
        {"source d'orvane", fourCC("LghS"), fourCC("LghS"), kListOfItems},
    };
    terminology.className = "source d'orvane";
    terminology.classCode = fourCC("LghS");
    terminology.classProperties = {
        {"couleur", fourCC("Clr "), fourCC("RGBC"), kReadWrite},
        {"intensité", fourCC("Intn"), fourCC("long"), kReadWrite},
        {"cône", fourCC("Fcs "), fourCC("long"), kReadWrite},
        {"lumière active", fourCC("On  "), fourCC("bool"), kReadWrite},
        {"type", fourCC("LghT"), fourCC("LghT"), kReadWrite | kEnumerated},
        {"position", fourCC("Pstn"), fourCC("Pnt "), kReadWrite},
        {"vecteur 0", fourCC("Vct0"), fourCC("Pnt "), kReadWrite},
        {"vecteur 1", fourCC("Vct1"), fourCC("Pnt "), kReadWrite},
        {"rayon", fourCC("Rds "), fourCC("doub"), kReadWrite},
    };
    terminology.enumerationCode = fourCC("LghT");
    terminology.enumerators = {
        {"directionnel", fourCC("LghD")},
        {"omnidirectionnel", fourCC("LghO")},
        {"projecteur", fourCC("LghS")},
    };
    return terminology;
}
