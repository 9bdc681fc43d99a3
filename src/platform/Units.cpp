#include "platform/Units.h"

#include <QGuiApplication>
#include <QScreen>
#include <charconv>
#include <cstdio>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
double gPixelsPerInch = 0;

// Nearest whole number, halves to the even one; saturating.
int RoundHalfEven(double v) {
    if (!(v == v)) return 0;
    const double r = std::nearbyint(v);
    if (r >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (r <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return int(r);
}

double UnitFactor(TLengthUnit unit) {
    switch (unit) {
    case TLengthUnit::Inch:
        return 1.0;
    case TLengthUnit::Centimetre:
        return 2.54;
    case TLengthUnit::Millimetre:
        return 25.4;
    case TLengthUnit::Pixel:
        break;
    }
    return 0;
}
} // namespace

double PixelsPerInch() {
    if (gPixelsPerInch <= 0) {
        const QScreen* screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
        const double dpi = screen ? screen->logicalDotsPerInch() : 0;
        gPixelsPerInch = dpi > 0 ? dpi : 96.0;
    }
    return gPixelsPerInch;
}

void SetPixelsPerInch(double ppi) {
    gPixelsPerInch = ppi;
}

int ToPixels(TLengthUnit unit, double value, double ppi) {
    const double f = UnitFactor(unit);
    return f == 0 ? RoundHalfEven(value) : RoundHalfEven(value * ppi / f);
}

double FromPixels(TLengthUnit unit, double pixels, double ppi) {
    const double f = UnitFactor(unit);
    return f == 0 || ppi <= 0 ? pixels : pixels * f / ppi;
}

std::string FormatLength(TLengthUnit unit, double value) {
    char buf[64];
    if (unit == TLengthUnit::Pixel)
        std::snprintf(buf, sizeof buf, "%d", RoundHalfEven(value));
    else
        std::snprintf(buf, sizeof buf, "%.2f", value);
    return buf;
}

std::string PixelsAsText(TLengthUnit unit, int pixels, double ppi) {
    return FormatLength(unit, FromPixels(unit, pixels, ppi));
}

std::string FormatDecimals(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 15), value == 0 ? 0.0 : value);
    return buf;
}

std::string FormatShortest(double value) {
    if (!std::isfinite(value)) return "0";
    char buf[64];
    // %g switches to exponents outside 1e-5 .. 1e15, which nobody types into
    // a length field; the fixed form with the same precision is used there
    std::snprintf(buf, sizeof buf, "%.15g", value == 0 ? 0.0 : value);
    if (std::strchr(buf, 'e')) {
        std::snprintf(buf, sizeof buf, "%.15f", value);
        std::string s = buf;
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
        return s;
    }
    return buf;
}

std::optional<double> ParseLength(std::string_view text) {
    const size_t a = text.find_first_not_of(" \t"), b = text.find_last_not_of(" \t");
    if (a == std::string_view::npos) return std::nullopt;
    text = text.substr(a, b - a + 1);
    size_t i = 0;
    if (text[0] == '-' || text[0] == '+') i = 1;
    int digits = 0, points = 0;
    for (size_t k = i; k < text.size(); ++k) {
        if (text[k] >= '0' && text[k] <= '9')
            ++digits;
        else if (text[k] == '.')
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1 || digits > 300) return std::nullopt;
    // from_chars reads '.' whatever the locale and rounds correctly; it
    // takes neither a leading '+' nor a bare trailing '.', so those go first
    std::string plain(text.substr(text[0] == '+' ? 1 : 0));
    if (plain.back() == '.') plain.pop_back();
    double v = 0;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), v);
    if (ec != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
    return v;
}
