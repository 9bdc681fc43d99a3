#include "engine/Types.h"

namespace {
// The classic default system colours (0x00BBGGRR) by system colour index, used
// when a stored colour names a system colour instead of a value.
constexpr TColor kSystemColors[] = {
    0xC8C8C8, // 0 scroll bar
    0xA56E3A, // 1 background
    0xD1B499, // 2 active caption
    0xDBCDBF, // 3 inactive caption
    0xF0F0F0, // 4 menu
    0xFFFFFF, // 5 window
    0x646464, // 6 window frame
    0x000000, // 7 menu text
    0x000000, // 8 window text
    0x000000, // 9 caption text
    0xB4B4B4, // 10 active border
    0xFCF7F4, // 11 inactive border
    0xABABAB, // 12 app workspace
    0xFF9933, // 13 highlight
    0xFFFFFF, // 14 highlight text
    0xF0F0F0, // 15 button face
    0xA0A0A0, // 16 button shadow
    0x6D6D6D, // 17 grey text
    0x000000, // 18 button text
    0x000000, // 19 inactive caption text
    0xFFFFFF, // 20 button highlight
    0x696969, // 21 3D dark shadow
    0xE3E3E3, // 22 3D light
    0x000000, // 23 info text
    0xE1FFFF, // 24 info background
    0x000000, // 25 (unused)
    0xCC6600, // 26 hot light
    0xEAD1B9, // 27 gradient active caption
    0xF2E4D7, // 28 gradient inactive caption
    0xFF9933, // 29 menu highlight
    0xF0F0F0, // 30 menu bar
};
} // namespace

TColor32 ToColor32(TColor c) {
    if (c < 0) {
        const unsigned index = unsigned(c) & 0xFF;
        c = index < sizeof(kSystemColors) / sizeof(kSystemColors[0]) ? kSystemColors[index] : 0;
    }
    const uint32_t v = uint32_t(c);
    return 0xFF000000u | ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

TColor ToWinColor(TColor32 c) { return TColor(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF)); }
