#pragma once
// How the values of a project description are written and read. The files
// travel between this program and its counterpart on the other platform, so
// the readers accept both spellings: numbers with "." or "," as decimal
// separator, locks as "-1"/"1"/"True", colours as identifiers or "$" hex,
// style sets with or without brackets. Readers return std::nullopt for a
// value they cannot read; what that means is the caller's decision.

#include <QFont>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/Types.h"

std::string TrimSpaces(std::string_view s);

// ---- Integers ----

// Decimal with an optional sign, surrounding blanks allowed; nullopt for
// anything else or a value outside the int range.
std::optional<int32_t> ParseInt(std::string_view text);
// The same for 64-bit values.
std::optional<int64_t> ParseInt64(std::string_view text);
// Decimal, "$" hexadecimal or "0x" hexadecimal; hexadecimal values up to
// 32 bits are taken as the bit pattern (so "$FF000008" is a system colour).
std::optional<int32_t> ParseIntOrHex(std::string_view text);

// ---- Angle ----

// The shortest text that reads back as the same float, "." as separator and
// no exponent, whatever the locale ("12.5", "-90", "0.001").
std::string FormatAngle(float angle);
// A decimal number with "." or "," as separator (an exponent is allowed);
// "" reads as 0. nullopt for other text and for values that are not finite.
std::optional<float> ParseAngle(std::string_view text);

// ---- Flags ----

// "1" or "0".
inline const char* FormatFlip(bool flip) {
    return flip ? "1" : "0";
}
// True only for exactly "1".
inline bool ParseFlip(std::string_view text) {
    return text == "1";
}
// "-1" or "0".
inline const char* FormatLocked(bool locked) {
    return locked ? "-1" : "0";
}
// Any number (non-zero is true), "True"/"False" in any letter case; anything
// else, the empty text included, is false.
bool ParseLocked(std::string_view text);

// ---- Colours ----

// The identifier of a platform colour value when it has one ("clRed"), else
// "$" and eight upper-case hexadecimal digits ("$00102030").
std::string FormatFontColor(TColor color);
// An identifier (any letter case), a "$" hexadecimal or a decimal number.
std::optional<TColor> ParseFontColor(std::string_view text);
// The identifier of a value, or "" when it has none.
std::string ColorIdentifier(TColor color);
std::optional<TColor> ColorFromIdentifier(std::string_view identifier);

// 32-bit ARGB as an unsigned decimal.
std::string FormatShadowColor(TColor32 color);
// A 64-bit decimal of which the low 32 bits are taken.
std::optional<TColor32> ParseShadowColor(std::string_view text);

// ---- Font style ----

struct TFontStyleSet {
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    bool operator==(const TFontStyleSet&) const = default;
};
TFontStyleSet FontStyleOf(const QFont& font);
void ApplyFontStyle(QFont& font, const TFontStyleSet& style);
// "[fsBold,fsItalic]"; "[]" for none.
std::string FormatFontStyle(const TFontStyleSet& style);
// The same notation, brackets optional, blanks around members allowed,
// member names in any letter case.
std::optional<TFontStyleSet> ParseFontStyle(std::string_view text);

// ---- Text ----

// The text as the layer keeps it (lines broken by CR LF) from the text the
// XML reader delivers (lines broken by LF): every LF that does not already
// follow a CR becomes CR LF.
std::string TextFromXml(std::string_view text);

// ---- Names read from a project ----

// A name of a file inside a library or project folder: not empty, not
// absolute (no leading separator, no drive letter) and without ".." parts,
// with either separator.
bool IsConfinedName(std::string_view name);
// A folder name beside the project file: no separators at all, not "." or
// "..".
bool IsPlainFolderName(std::string_view name);
