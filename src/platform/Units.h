#pragma once
// Lengths on paper: the page size the user types in inches or centimetres,
// and (for printing) millimetres, against pixels of the collage. Every
// conversion of the program goes through here at one pixels-per-inch value,
// the screen's logical resolution, so a page typed as 4 inches comes back as
// 4 inches wherever it is shown.

#include <optional>
#include <string>
#include <string_view>

// Unit indexes as the size and print dialogs list them.
enum class TLengthUnit : int { Pixel = 0, Inch = 1, Centimetre = 2, Millimetre = 3 };

// The screen's logical pixels per inch (96 on a standard screen), read once
// from the platform and then kept, so that every conversion uses one value.
// Without a screen (headless runs) it is 96.
double PixelsPerInch();
// Sets the value for the rest of the run (tests); 0 reads the platform again.
void SetPixelsPerInch(double ppi);

// Shown value -> whole pixels (halves to even).
int ToPixels(TLengthUnit unit, double value, double ppi = PixelsPerInch());
// Pixels -> shown value.
double FromPixels(TLengthUnit unit, double pixels, double ppi = PixelsPerInch());
// A value as the dialogs show it: pixels as a whole number ("0"), the
// other units with two decimals ("0.00").
std::string FormatLength(TLengthUnit unit, double value);
// Pixels shown in a unit: FormatLength(unit, FromPixels(unit, pixels)).
std::string PixelsAsText(TLengthUnit unit, int pixels, double ppi = PixelsPerInch());
// A value with a fixed number of decimals and '.' as the separator:
// FormatDecimals(25.4, 3) is "25.400".
std::string FormatDecimals(double value, int decimals);
// The shortest form that keeps 15 significant digits: "25.4", "20", "0.75"
// (so 96 pixels in millimetres reads 25.4, not 25.400000000000002).
std::string FormatShortest(double value);

// A real number written with '.' as the decimal separator, surrounded by
// nothing but blanks ("12", "10.67", ".5", "3."); none for anything else
// ("", "1.2.3", "1e3", "12px").
std::optional<double> ParseLength(std::string_view text);
