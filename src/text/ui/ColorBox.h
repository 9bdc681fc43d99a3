#pragma once
// A colour box: the sixteen standard colours, each with its swatch and
// translated name, and a last entry for a colour of the user's own choosing
// (asked for with the colour dialog). Colours are platform colours
// 0x00BBGGRR.

#include <QComboBox>
#include <functional>
#include <optional>

#include "engine/Types.h"

class TTextColorBox : public QComboBox {
    Q_OBJECT
public:
    explicit TTextColorBox(QWidget* parent = nullptr);

    TColor Color() const { return FColor; }
    // Shows the colour: its standard entry, or the custom entry carrying it.
    // Emits nothing.
    void SetColor(TColor color);
    // The entry names in the current language.
    void ApplyLanguage();

    // Asks for a custom colour (the colour dialog; tests replace it).
    static std::function<std::optional<TColor>(TColor current, QWidget* parent)> PickColor;

signals:
    // The user chose a colour.
    void ColorChanged(TColor color);

private:
    void Chosen(int index);
    int FLastIndex = 15;
    TColor FColor = 0xFFFFFF;
};

// The sixteen standard colours in list order (black, maroon, ... white).
extern const TColor kStandardColors[16];
