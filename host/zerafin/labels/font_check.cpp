#include "host/zerafin/labels/font_check.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <set>

namespace {
using Bytes = std::span<const uint8_t>;

// Real fonts nest composite glyphs two or three levels; the rasteriser follows
// them recursively.
constexpr int kMaxCompositeDepth = 8;
// The rasteriser keeps coordinates in 16 bits.
constexpr double kCoordinateLimit = 32767;
// Far above any real glyph, and so a bound on the work one glyph can cost.
constexpr uint64_t kMaxGlyphVertices = 1 << 16;
// The kerning pair tables are searched for every pair of letters drawn; real
// fonts have a few dozen.
constexpr size_t kMaxPairTables = 4096;

bool fits(Bytes bytes, uint64_t at, uint64_t count) {
    return at <= bytes.size() && count <= bytes.size() - at;
}
// Big-endian values at places already checked with `fits`.
uint16_t u16(Bytes bytes, size_t at) {
    return uint16_t(bytes[at] << 8 | bytes[at + 1]);
}
int16_t s16(Bytes bytes, size_t at) {
    return int16_t(u16(bytes, at));
}
uint32_t u32(Bytes bytes, size_t at) {
    return uint32_t(u16(bytes, at)) << 16 | u16(bytes, at + 2);
}
bool hasTag(Bytes bytes, size_t at, const char* tag) {
    return fits(bytes, at, 4) && std::memcmp(&bytes[at], tag, 4) == 0;
}

// What a glyph's outline comes to, once checked.
struct GlyphFacts {
    enum class State : uint8_t { Unchecked, Checking, Checked };
    State state = State::Unchecked;
    double reach = 0;      // the largest coordinate, in any direction
    uint64_t vertices = 0; // at most this many vertices are made of it
};

class FontChecker {
  public:
    explicit FontChecker(Bytes file) : file(file) {}

    bool check(FontLayout& layout, std::string& why) {
        const bool usable = findStart() && readDirectory() && checkMetrics() && checkLocations() &&
                            checkAllGlyphs() && checkCharacterMap() && checkKerning() &&
                            checkPositioning();
        if (!usable) {
            why = reason;
            return false;
        }
        layout.start = start;
        layout.glyphCount = glyphCount;
        layout.glyphReach.clear();
        for (const GlyphFacts& glyph : glyphs)
            layout.glyphReach.push_back(uint16_t(std::ceil(glyph.reach)));
        return true;
    }

  private:
    bool fail(std::string why) {
        reason = std::move(why);
        return false;
    }

    // A font file starts with its table directory; a collection starts with
    // the places of its fonts' directories, and the first font is used.
    bool findStart() {
        const bool single = hasTag(file, 0, "\0\1\0\0") || hasTag(file, 0, "true") ||
                            hasTag(file, 0, "OTTO") || hasTag(file, 0, "typ1") ||
                            hasTag(file, 0, "1\0\0\0");
        if (single) {
            start = 0;
            return true;
        }
        if (!hasTag(file, 0, "ttcf"))
            return fail("it holds no TrueType font");
        if (!fits(file, 0, 16) || (u32(file, 4) != 0x00010000 && u32(file, 4) != 0x00020000) ||
            int32_t(u32(file, 8)) < 1)
            return fail("its collection header is damaged");
        start = u32(file, 12);
        return true;
    }

    bool readDirectory() {
        if (!fits(file, start, 12) || !fits(file, start + 12, 16 * uint64_t(u16(file, start + 4))))
            return fail("its table directory runs past the end of the file");
        return findTable("cmap", tables.cmap, true) && findTable("head", tables.head, true) &&
               findTable("hhea", tables.hhea, true) && findTable("hmtx", tables.hmtx, true) &&
               findTable("maxp", tables.maxp, true) && findTable("loca", tables.loca, true) &&
               findTable("glyf", tables.glyf, true) && findTable("kern", tables.kern, false) &&
               findTable("GPOS", tables.gpos, false);
    }

    // The first table of the directory with the tag, as the rasteriser finds
    // it (a table at offset 0 counts as absent there too).
    bool findTable(const char* tag, std::optional<Bytes>& table, bool required) {
        const uint16_t count = u16(file, start + 4);
        for (size_t i = 0; i < count; ++i) {
            const size_t record = start + 12 + 16 * i;
            if (!hasTag(file, record, tag))
                continue;
            const uint32_t offset = u32(file, record + 8), length = u32(file, record + 12);
            if (offset == 0)
                break;
            if (!fits(file, offset, length))
                return fail(std::string("its '") + tag + "' table runs past the end of the file");
            table = file.subspan(offset, length);
            return true;
        }
        if (required)
            return fail(
                std::string("it has no '") + tag + "' table" +
                (std::strcmp(tag, "glyf") == 0 ? " (only TrueType outlines are read)" : ""));
        return true;
    }

    bool checkMetrics() {
        const Bytes head = *tables.head, maxp = *tables.maxp, hhea = *tables.hhea;
        if (!fits(head, 0, 54) || u16(head, 50) > 1)
            return fail("its 'head' table is damaged");
        longOffsets = u16(head, 50) == 1;
        if (!fits(maxp, 0, 6) || u16(maxp, 4) == 0)
            return fail("its 'maxp' table is damaged");
        glyphCount = u16(maxp, 4);
        if (!fits(hhea, 0, 36) || u16(hhea, 34) == 0)
            return fail("its 'hhea' table is damaged");
        if (s16(hhea, 4) <= s16(hhea, 6))
            return fail("its ascent does not lie above its descent");
        // Glyphs past the long metrics share the last advance and have a
        // side bearing of their own.
        const uint64_t longMetrics = u16(hhea, 34);
        const uint64_t needed = glyphCount <= longMetrics
                                    ? 4 * uint64_t(glyphCount)
                                    : 4 * longMetrics + 2 * (glyphCount - longMetrics);
        if (!fits(*tables.hmtx, 0, needed))
            return fail("its 'hmtx' table is too short for its glyphs");
        return true;
    }

    uint32_t location(size_t index) const {
        const Bytes loca = *tables.loca;
        return longOffsets ? u32(loca, 4 * index) : uint32_t(u16(loca, 2 * index)) * 2;
    }

    bool checkLocations() {
        if (!fits(*tables.loca, 0, (uint64_t(glyphCount) + 1) * (longOffsets ? 4 : 2)))
            return fail("its 'loca' table is too short for its glyphs");
        for (size_t i = 0; i < glyphCount; ++i)
            if (location(i) > location(i + 1) || location(i + 1) > tables.glyf->size())
                return fail("glyph " + std::to_string(i) + " lies outside the 'glyf' table");
        return true;
    }

    bool checkAllGlyphs() {
        glyphs.assign(glyphCount, {});
        for (uint16_t i = 0; i < glyphCount; ++i)
            if (!checkGlyph(i, 0))
                return false;
        return true;
    }

    bool checkGlyph(uint16_t index, int level) {
        GlyphFacts& facts = glyphs[index];
        if (facts.state == GlyphFacts::State::Checked)
            return true;
        if (facts.state == GlyphFacts::State::Checking)
            return fail("glyph " + std::to_string(index) + " is made of itself");
        if (level > kMaxCompositeDepth)
            return fail("its composite glyphs nest more than " +
                        std::to_string(kMaxCompositeDepth) + " deep");
        facts.state = GlyphFacts::State::Checking;
        const Bytes glyph =
            tables.glyf->subspan(location(index), location(index + 1) - location(index));
        if (!glyph.empty() && !fits(glyph, 0, 10))
            return fail("glyph " + std::to_string(index) + " is too short");
        const int16_t contours = glyph.empty() ? 0 : s16(glyph, 0);
        const bool usable = contours > 0   ? checkSimpleGlyph(glyph, size_t(contours), facts)
                            : contours < 0 ? checkCompositeGlyph(glyph, level, facts)
                                           : true;
        if (!usable)
            return level > 0 ? false : fail("glyph " + std::to_string(index) + ": " + reason);
        facts.state = GlyphFacts::State::Checked;
        return true;
    }

    bool checkSimpleGlyph(Bytes glyph, size_t contours, GlyphFacts& facts) {
        constexpr size_t kEnds = 10;
        constexpr uint8_t kOnCurve = 1, kShortX = 2, kShortY = 4, kRepeat = 8, kSameX = 16,
                          kSameY = 32;
        if (!fits(glyph, kEnds, 2 * contours + 2))
            return fail("its contours run past its end");
        for (size_t i = 1; i < contours; ++i)
            if (u16(glyph, kEnds + 2 * i) <= u16(glyph, kEnds + 2 * i - 2))
                return fail("its contours are out of order");
        const size_t points = size_t(u16(glyph, kEnds + 2 * contours - 2)) + 1;
        size_t at = kEnds + 2 * contours + 2 + u16(glyph, kEnds + 2 * contours);
        std::vector<uint8_t> flags;
        while (flags.size() < points) {
            if (!fits(glyph, at, 1) || ((glyph[at] & kRepeat) && !fits(glyph, at, 2)))
                return fail("its points run past its end");
            const uint8_t flag = glyph[at++];
            const size_t copies = (flag & kRepeat) ? size_t(glyph[at++]) + 1 : 1;
            flags.insert(flags.end(), std::min(copies, points - flags.size()), flag);
        }
        // A last contour of one point off the curve makes the rasteriser look
        // for a point after the last.
        const size_t lastStart = contours > 1 ? u16(glyph, kEnds + 2 * contours - 4) + 1 : 0;
        if (lastStart == points - 1 && !(flags.back() & kOnCurve))
            return fail("its last contour is a single point off the curve");
        // All x coordinates come first, then all y coordinates.
        const double xReach = coordinatesReach(glyph, at, flags, kShortX, kSameX);
        const double yReach = xReach < 0 ? -1 : coordinatesReach(glyph, at, flags, kShortY, kSameY);
        facts.reach = std::max(xReach, yReach);
        if (xReach < 0 || yReach < 0)
            return fail("its points run past its end");
        facts.vertices = points + 2 * contours;
        return true;
    }

    // Reads one coordinate per point (a byte with its sign in the flag, a
    // repeat of the last, or a 16-bit step) and gives the largest of them,
    // kept in 16 bits as the rasteriser keeps them; -1 when they run past
    // the glyph.
    static double coordinatesReach(Bytes glyph, size_t& at, const std::vector<uint8_t>& flags,
                                   uint8_t shortBit, uint8_t sameBit) {
        int32_t value = 0;
        double reach = 0;
        for (const uint8_t flag : flags) {
            const size_t size = (flag & shortBit) ? 1 : (flag & sameBit) ? 0 : 2;
            if (!fits(glyph, at, size))
                return -1;
            if (size == 1)
                value += (flag & sameBit) ? glyph[at] : -glyph[at];
            else if (size == 2)
                value += s16(glyph, at);
            at += size;
            reach = std::max(reach, std::abs(double(int16_t(value))));
        }
        return reach;
    }

    bool checkCompositeGlyph(Bytes glyph, int level, GlyphFacts& facts) {
        constexpr uint16_t kWordArguments = 1, kOffsets = 2, kScale = 8, kMore = 0x20,
                           kTwoScales = 0x40, kMatrix = 0x80;
        size_t at = 10;
        for (bool more = true; more;) {
            if (!fits(glyph, at, 4))
                return fail("its parts run past its end");
            const uint16_t flags = u16(glyph, at), part = u16(glyph, at + 2);
            at += 4;
            if (!(flags & kOffsets))
                return fail("it places a part by matching points, which is not read here");
            const size_t argumentSize = (flags & kWordArguments) ? 2 : 1;
            const size_t scaleSize = (flags & kScale)       ? 2
                                     : (flags & kTwoScales) ? 4
                                     : (flags & kMatrix)    ? 8
                                                            : 0;
            if (!fits(glyph, at, 2 * argumentSize + scaleSize))
                return fail("its parts run past its end");
            double matrix[6] = {1, 0, 0, 1, 0, 0};
            matrix[4] = argumentSize == 2 ? s16(glyph, at) : int8_t(glyph[at]);
            matrix[5] = argumentSize == 2 ? s16(glyph, at + 2) : int8_t(glyph[at + 1]);
            at += 2 * argumentSize;
            readScale(glyph, at, scaleSize, matrix);
            at += scaleSize;
            if (part >= glyphCount)
                return fail("it uses glyph " + std::to_string(part) + ", which the font lacks");
            if (!checkGlyph(part, level + 1))
                return false;
            if (!addPart(glyphs[part], matrix, facts))
                return false;
            more = (flags & kMore) != 0;
        }
        return true;
    }

    // A part's scale: one for both directions, one for each, or a 2 × 2
    // matrix, each value in 2.14 fixed point.
    static void readScale(Bytes glyph, size_t at, size_t size, double matrix[6]) {
        const auto value = [&](size_t index) { return s16(glyph, at + 2 * index) / 16384.0; };
        if (size == 2) {
            matrix[0] = matrix[3] = value(0);
        } else if (size == 4) {
            matrix[0] = value(0);
            matrix[3] = value(1);
        } else if (size == 8) {
            for (size_t i = 0; i < 4; ++i)
                matrix[i] = value(i);
        }
    }

    // The rasteriser moves each of the part's points by the matrix and then
    // scales it again by the lengths of the matrix's columns: the result must
    // still fit its 16 bits.
    bool addPart(const GlyphFacts& part, const double matrix[6], GlyphFacts& facts) {
        const double xScale = std::hypot(matrix[0], matrix[1]);
        const double yScale = std::hypot(matrix[2], matrix[3]);
        const double x = xScale * ((std::abs(matrix[0]) + std::abs(matrix[2])) * part.reach +
                                   std::abs(matrix[4]));
        const double y = yScale * ((std::abs(matrix[1]) + std::abs(matrix[3])) * part.reach +
                                   std::abs(matrix[5]));
        if (x >= kCoordinateLimit || y >= kCoordinateLimit)
            return fail("a part is moved or scaled beyond the coordinates' range");
        facts.reach = std::max({facts.reach, x, y});
        facts.vertices += part.vertices;
        if (facts.vertices > kMaxGlyphVertices)
            return fail("it has more than " + std::to_string(kMaxGlyphVertices) + " points");
        return true;
    }

    // The character map the rasteriser picks: the last Unicode one.
    bool checkCharacterMap() {
        const Bytes cmap = *tables.cmap;
        if (!fits(cmap, 0, 4) || !fits(cmap, 4, 8 * uint64_t(u16(cmap, 2))))
            return fail("its character maps run past the 'cmap' table");
        constexpr uint16_t kUnicode = 0, kMicrosoft = 3, kBasicPlane = 1, kAllPlanes = 10;
        std::optional<uint32_t> offset;
        for (size_t i = 0; i < u16(cmap, 2); ++i) {
            const size_t record = 4 + 8 * i;
            const uint16_t platform = u16(cmap, record), encoding = u16(cmap, record + 2);
            if (platform == kUnicode ||
                (platform == kMicrosoft && (encoding == kBasicPlane || encoding == kAllPlanes)))
                offset = u32(cmap, record + 4);
        }
        if (!offset)
            return fail("it has no Unicode character map");
        if (!fits(cmap, *offset, 2))
            return fail("its character map lies outside the 'cmap' table");
        const Bytes map = cmap.subspan(*offset);
        switch (u16(map, 0)) {
        case 0:
            return fits(map, 0, 4) && fits(map, 0, u16(map, 2)) ? true : damagedMap();
        case 4:
            return checkSegmentMap(map);
        case 6:
            return fits(map, 0, 10) && fits(map, 10, 2 * uint64_t(u16(map, 8))) ? true
                                                                                : damagedMap();
        case 12:
        case 13:
            return fits(map, 0, 16) && fits(map, 16, 12 * uint64_t(u32(map, 12))) ? true
                                                                                  : damagedMap();
        default:
            return fail("its character map has a format that is not read here");
        }
    }

    bool damagedMap() { return fail("its character map is damaged"); }

    // Segments searched by halves: the search fields must be the ones the
    // segment count implies, or the search leaves the segments.
    bool checkSegmentMap(Bytes map) {
        if (!fits(map, 0, 14) || u16(map, 6) < 2)
            return damagedMap();
        const size_t segments = u16(map, 6) / 2;
        size_t power = 1;
        uint16_t log = 0;
        while (power * 2 <= segments) {
            power *= 2;
            ++log;
        }
        if (u16(map, 8) / 2 != power || u16(map, 10) != log ||
            u16(map, 12) / 2 != segments - power || !fits(map, 0, 16 + 8 * uint64_t(segments)))
            return damagedMap();
        const size_t ends = 14, starts = 16 + 2 * segments, ranges = 16 + 6 * segments;
        for (size_t i = 0; i < segments; ++i) {
            const uint16_t first = u16(map, starts + 2 * i), last = u16(map, ends + 2 * i);
            const uint16_t range = u16(map, ranges + 2 * i);
            if (range != 0 && first <= last &&
                !fits(map, ranges + 2 * i + range, 2 * (uint64_t(last) - first + 1)))
                return damagedMap();
        }
        return true;
    }

    // The old kerning table: only its first subtable is read, and only when
    // it is horizontal, as pairs of six bytes.
    bool checkKerning() {
        if (!tables.kern)
            return true;
        const Bytes kern = *tables.kern;
        if (!fits(kern, 0, 4))
            return fail("its 'kern' table is damaged");
        if (u16(kern, 2) == 0)
            return true;
        if (!fits(kern, 0, 10))
            return fail("its 'kern' table is damaged");
        if (u16(kern, 8) != 1)
            return true;
        if (!fits(kern, 0, 12) || !fits(kern, 18, 6 * uint64_t(u16(kern, 10))))
            return fail("its 'kern' table is damaged");
        return true;
    }

    bool damagedPositioning() { return fail("its 'GPOS' table is damaged"); }

    // The pair adjustments of the positioning table, as the rasteriser walks
    // them for each pair of letters: the lookup list, each lookup of pair
    // adjustments, and each subtable's coverage, pair sets or classes.
    bool checkPositioning() {
        if (!tables.gpos)
            return true;
        const Bytes gpos = *tables.gpos;
        if (!fits(gpos, 0, 10))
            return damagedPositioning();
        if (u16(gpos, 0) != 1 || u16(gpos, 2) != 0)
            return true;
        const size_t list = u16(gpos, 8);
        if (!fits(gpos, list, 2) || !fits(gpos, list + 2, 2 * uint64_t(u16(gpos, list))))
            return damagedPositioning();
        std::set<size_t> checked;
        size_t pairTables = 0;
        for (size_t i = 0; i < u16(gpos, list); ++i) {
            const size_t lookup = list + u16(gpos, list + 2 + 2 * i);
            constexpr uint16_t kPairAdjustment = 2;
            if (!fits(gpos, lookup, 6) ||
                !fits(gpos, lookup + 6, 2 * uint64_t(u16(gpos, lookup + 4))))
                return damagedPositioning();
            if (u16(gpos, lookup) != kPairAdjustment)
                continue;
            pairTables += u16(gpos, lookup + 4);
            if (pairTables > kMaxPairTables)
                return fail("its 'GPOS' table has more than " + std::to_string(kMaxPairTables) +
                            " kerning tables");
            for (size_t s = 0; s < u16(gpos, lookup + 4); ++s) {
                const size_t table = lookup + u16(gpos, lookup + 6 + 2 * s);
                if (checked.insert(table).second && !checkPairTable(gpos, table))
                    return damagedPositioning();
            }
        }
        return true;
    }

    // The largest index the coverage table gives; none when it covers no
    // glyph or has a format that covers none.
    static bool coverageReach(Bytes gpos, size_t at, std::optional<uint32_t>& largest) {
        largest.reset();
        if (!fits(gpos, at, 2))
            return false;
        const uint16_t format = u16(gpos, at);
        if (format != 1 && format != 2)
            return true;
        if (!fits(gpos, at, 4))
            return false;
        const size_t count = u16(gpos, at + 2);
        if (format == 1) {
            if (!fits(gpos, at + 4, 2 * uint64_t(count)))
                return false;
            if (count > 0)
                largest = uint32_t(count - 1);
            return true;
        }
        if (!fits(gpos, at + 4, 6 * uint64_t(count)))
            return false;
        for (size_t i = 0; i < count; ++i) {
            const size_t range = at + 4 + 6 * i;
            const uint16_t first = u16(gpos, range), last = u16(gpos, range + 2);
            if (first <= last)
                largest =
                    std::max(largest.value_or(0), uint32_t(u16(gpos, range + 4)) + last - first);
        }
        return true;
    }

    static bool classesFit(Bytes gpos, size_t at) {
        if (!fits(gpos, at, 2))
            return false;
        switch (u16(gpos, at)) {
        case 1:
            return fits(gpos, at, 6) && fits(gpos, at + 6, 2 * uint64_t(u16(gpos, at + 4)));
        case 2:
            return fits(gpos, at, 4) && fits(gpos, at + 4, 6 * uint64_t(u16(gpos, at + 2)));
        default:
            return true;
        }
    }

    // One pair adjustment subtable. Only advances of the first glyph are read
    // (value formats 4 and 0); the pair set of every covered index is read
    // before its index is compared with the count of pair sets.
    static bool checkPairTable(Bytes gpos, size_t table) {
        std::optional<uint32_t> largest;
        if (!fits(gpos, table, 4) || !coverageReach(gpos, table + u16(gpos, table + 2), largest))
            return false;
        const uint16_t format = u16(gpos, table);
        if (!largest || (format != 1 && format != 2))
            return true;
        if (!fits(gpos, table, format == 1 ? 10 : 16))
            return false;
        if (u16(gpos, table + 4) != 4 || u16(gpos, table + 6) != 0)
            return true;
        if (format == 2)
            return classesFit(gpos, table + u16(gpos, table + 8)) &&
                   classesFit(gpos, table + u16(gpos, table + 10)) &&
                   fits(gpos, table + 16,
                        2 * uint64_t(u16(gpos, table + 12)) * u16(gpos, table + 14));
        if (!fits(gpos, table + 10, 2 * (uint64_t(*largest) + 1)))
            return false;
        for (uint32_t index = 0; index <= *largest; ++index) {
            const size_t pairs = table + u16(gpos, table + 10 + 2 * size_t(index));
            if (!fits(gpos, pairs, 2))
                return false;
            if (index < u16(gpos, table + 8) &&
                !fits(gpos, pairs + 2, 4 * uint64_t(u16(gpos, pairs))))
                return false;
        }
        return true;
    }

    struct Tables {
        std::optional<Bytes> cmap, head, hhea, hmtx, maxp, loca, glyf, kern, gpos;
    };

    Bytes file;
    size_t start = 0;
    Tables tables;
    uint16_t glyphCount = 0;
    bool longOffsets = false;
    std::vector<GlyphFacts> glyphs;
    std::string reason;
};
} // namespace

bool checkFontFile(std::span<const uint8_t> bytes, FontLayout& layout, std::string& reason) {
    return FontChecker(bytes).check(layout, reason);
}
