#include "persistence/ProjectValues.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

// Platform colour values with their identifiers; the first entry of a value
// is the one written.
struct TColorIdent {
    std::string_view Name;
    uint32_t Value;
};
constexpr uint32_t kSys = 0xFF000000u;
constexpr std::array<TColorIdent, 52> kColorIdents{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clActiveBorder", kSys | 10},
    {"clActiveCaption", kSys | 2},
    {"clAppWorkSpace", kSys | 12},
    {"clBackground", kSys | 1},
    {"clBtnFace", kSys | 15},
    {"clBtnHighlight", kSys | 20},
    {"clBtnShadow", kSys | 16},
    {"clBtnText", kSys | 18},
    {"clCaptionText", kSys | 9},
    {"clDefault", 0x20000000},
    {"clGradientActiveCaption", kSys | 27},
    {"clGradientInactiveCaption", kSys | 28},
    {"clGrayText", kSys | 17},
    {"clHighlight", kSys | 13},
    {"clHighlightText", kSys | 14},
    {"clHotLight", kSys | 26},
    {"clInactiveBorder", kSys | 11},
    {"clInactiveCaption", kSys | 3},
    {"clInactiveCaptionText", kSys | 19},
    {"clInfoBk", kSys | 24},
    {"clInfoText", kSys | 23},
    {"clMenu", kSys | 4},
    {"clMenuBar", kSys | 30},
    {"clMenuHighlight", kSys | 29},
    {"clMenuText", kSys | 7},
    {"clNone", 0x1FFFFFFF},
    {"clScrollBar", kSys | 0},
    {"cl3DDkShadow", kSys | 21},
    {"cl3DLight", kSys | 22},
    {"clWindow", kSys | 5},
    {"clWindowFrame", kSys | 6},
    {"clWindowText", kSys | 8},
}};

constexpr std::array<std::string_view, 4> kStyleNames{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

template <class T> std::optional<T> ParseDecimal(std::string_view text) {
    const std::string t = TrimSpaces(text);
    if (t.empty()) return std::nullopt;
    const char* first = t.data();
    const char* last = t.data() + t.size();
    if (*first == '+') ++first;
    T value{};
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || first == last) return std::nullopt;
    return value;
}

} // namespace

std::string TrimSpaces(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && IsBlank(s[a])) ++a;
    while (b > a && IsBlank(s[b - 1])) --b;
    return std::string(s.substr(a, b - a));
}

// ---- Integers ----

std::optional<int32_t> ParseInt(std::string_view text) {
    return ParseDecimal<int32_t>(text);
}

std::optional<int64_t> ParseInt64(std::string_view text) {
    return ParseDecimal<int64_t>(text);
}

std::optional<int32_t> ParseIntOrHex(std::string_view text) {
    std::string t = TrimSpaces(text);
    if (t.empty()) return std::nullopt;
    bool negative = false;
    size_t pos = 0;
    if (t[pos] == '-' || t[pos] == '+') {
        negative = t[pos] == '-';
        ++pos;
    }
    size_t digits = std::string::npos;
    if (pos < t.size() && t[pos] == '$')
        digits = pos + 1;
    else if (pos + 1 < t.size() && t[pos] == '0' && (t[pos + 1] == 'x' || t[pos + 1] == 'X'))
        digits = pos + 2;
    if (digits == std::string::npos) return ParseInt(t);
    const char* first = t.data() + digits;
    const char* last = t.data() + t.size();
    if (first == last || *first == '-' || *first == '+') return std::nullopt;
    uint32_t value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value, 16);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    const uint32_t v = negative ? uint32_t(0u - value) : value;
    return int32_t(v);
}

// ---- Angle ----

std::string FormatAngle(float angle) {
    if (!std::isfinite(angle)) angle = 0;
    char buf[64];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, angle, std::chars_format::fixed);
    if (ec != std::errc()) return "0";
    std::string s(buf, ptr);
    if (s == "-0") s = "0";
    return s;
}

std::optional<float> ParseAngle(std::string_view text) {
    std::string t = TrimSpaces(text);
    if (t.empty()) return 0.0f;
    for (char& c : t)
        if (c == ',') c = '.';
    const char* first = t.data();
    const char* last = t.data() + t.size();
    if (*first == '+') ++first;
    if (first == last) return std::nullopt;
    // from_chars would accept "inf" and "nan"; an angle is a plain number
    for (const char* p = first; p < last; ++p)
        if (!((*p >= '0' && *p <= '9') || *p == '.' || *p == '-' || *p == 'e' || *p == 'E' || *p == '+'))
            return std::nullopt;
    float value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

// ---- Flags ----

bool ParseLocked(std::string_view text) {
    const std::string t = TrimSpaces(text);
    if (SameText(t, "true")) return true;
    if (SameText(t, "false")) return false;
    const auto v = ParseIntOrHex(t);
    return v && *v != 0;
}

// ---- Colours ----

std::string ColorIdentifier(TColor color) {
    for (const TColorIdent& c : kColorIdents)
        if (c.Value == uint32_t(color)) return std::string(c.Name);
    return "";
}

std::optional<TColor> ColorFromIdentifier(std::string_view identifier) {
    const std::string t = TrimSpaces(identifier);
    for (const TColorIdent& c : kColorIdents)
        if (SameText(c.Name, t)) return TColor(c.Value);
    return std::nullopt;
}

std::string FormatFontColor(TColor color) {
    std::string ident = ColorIdentifier(color);
    if (!ident.empty()) return ident;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", unsigned(uint32_t(color)));
    return buf;
}

std::optional<TColor> ParseFontColor(std::string_view text) {
    if (auto c = ColorFromIdentifier(text)) return c;
    return ParseIntOrHex(text);
}

std::string FormatShadowColor(TColor32 color) {
    return std::to_string(uint32_t(color));
}

std::optional<TColor32> ParseShadowColor(std::string_view text) {
    const std::string t = TrimSpaces(text);
    if (auto v = ParseInt64(t)) return TColor32(uint64_t(*v) & 0xFFFFFFFFu);
    // values above the signed 64-bit range still fit an unsigned reading
    if (auto u = ParseDecimal<uint64_t>(t)) return TColor32(*u & 0xFFFFFFFFu);
    return std::nullopt;
}

// ---- Font style ----

TFontStyleSet FontStyleOf(const QFont& font) {
    return {font.bold(), font.italic(), font.underline(), font.strikeOut()};
}

void ApplyFontStyle(QFont& font, const TFontStyleSet& style) {
    font.setBold(style.Bold);
    font.setItalic(style.Italic);
    font.setUnderline(style.Underline);
    font.setStrikeOut(style.StrikeOut);
}

std::string FormatFontStyle(const TFontStyleSet& style) {
    const bool members[4] = {style.Bold, style.Italic, style.Underline, style.StrikeOut};
    std::string s = "[";
    for (size_t i = 0; i < 4; ++i) {
        if (!members[i]) continue;
        if (s.size() > 1) s += ',';
        s += kStyleNames[i];
    }
    return s + "]";
}

std::optional<TFontStyleSet> ParseFontStyle(std::string_view text) {
    std::string t = TrimSpaces(text);
    if (!t.empty() && t.front() == '[') {
        if (t.back() != ']') return std::nullopt;
        t = TrimSpaces(std::string_view(t).substr(1, t.size() - 2));
    } else if (!t.empty() && t.back() == ']') {
        return std::nullopt;
    }
    TFontStyleSet set;
    if (t.empty()) return set;
    bool* members[4] = {&set.Bold, &set.Italic, &set.Underline, &set.StrikeOut};
    size_t start = 0;
    while (start <= t.size()) {
        size_t comma = t.find(',', start);
        if (comma == std::string::npos) comma = t.size();
        const std::string member = TrimSpaces(std::string_view(t).substr(start, comma - start));
        bool known = false;
        for (size_t i = 0; i < 4; ++i)
            if (SameText(member, kStyleNames[i])) {
                *members[i] = true;
                known = true;
            }
        if (!known) return std::nullopt;
        start = comma + 1;
    }
    return set;
}

// ---- Text ----

std::string TextFromXml(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

// ---- Names read from a project ----

bool IsConfinedName(std::string_view name) {
    if (name.empty()) return false;
    if (name.front() == '/' || name.front() == '\\') return false;
    if (name.size() >= 2 && name[1] == ':') return false; // a drive letter
    size_t start = 0;
    while (start <= name.size()) {
        size_t sep = name.find_first_of("/\\", start);
        if (sep == std::string_view::npos) sep = name.size();
        const std::string part = TrimSpaces(name.substr(start, sep - start));
        if (part == "..") return false;
        start = sep + 1;
    }
    return name.find('\0') == std::string_view::npos;
}

bool IsPlainFolderName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (name.size() >= 2 && name[1] == ':') return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}
