#pragma once
// A colour box: a drop-down list of named colour swatches. Which groups it
// offers is chosen at creation: the sixteen standard colours, a few extended
// ones, the system colours (kept as system colour values, so they follow
// what the program takes them for) and a custom entry that opens the colour
// chooser. Names are translated when the box is made.

#include <QComboBox>
#include <functional>

#include "engine/Types.h"

class TColorBox : public QComboBox {
    Q_OBJECT
public:
    enum TGroup : unsigned { Standard = 1, Extended = 2, System = 4, Custom = 8 };
    explicit TColorBox(unsigned groups, QWidget* parent = nullptr);

    // The chosen colour (a platform colour; system colours stay negative).
    TColor Selected() const;
    // Shows the colour without reporting it; a colour the list does not
    // have becomes the custom entry's (or, without one, an extra entry).
    void Select(TColor color);
    // The user chose a colour.
    std::function<void(TColor)> OnChange;
    // Asks for a custom colour; replaceable (tests). True when one was chosen.
    static std::function<bool(TColor& color, QWidget* parent)> ChooseCustomColor;

    // The 32-bit colour a platform colour shows as.
    static QColor ToQColor(TColor color);

private:
    void Activated(int index);
    void AddColor(const std::string& name, TColor color);
    void SetSwatch(int index, TColor color);
    int FCustomIndex = -1; // the entry whose colour is not one of the list's
    bool FChooser = false; // that entry opens the colour chooser
    int FLastIndex = -1;
};
