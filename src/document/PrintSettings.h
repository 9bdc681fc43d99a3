#pragma once
// Print placement kept between runs (section "PrintPrew" of cfg.ini). Units:
// 0 pixel, 1 inch, 2 centimetre, 3 millimetre.

#include <string>

struct TPrintSettings {
    double Top = 20.0;  // distance from the top of the printable area, in TopUnit
    double Left = 20.0; // distance from the left, in LeftUnit
    int TopUnit = 1;
    int LeftUnit = 1;
    bool Center = true;   // centre on the page instead of Top/Left
    double Scale = 100.0; // percent of the picture's own size when FitPage is off
    bool FitPage = true;  // fill the page in one direction, keeping proportions
    int WidthUnit = 1;    // units of the print size fields of the print dialog
    int HeightUnit = 1;
    bool BorderBox = true; // passed through the dialog; changes nothing in print
    std::string PrintTime; // kept as read and written back unchanged

    bool operator==(const TPrintSettings&) const = default;
};
