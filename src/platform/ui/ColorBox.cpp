#include "platform/ui/ColorBox.h"

#include <QColorDialog>
#include <QPainter>

#include "language/Language.h"

namespace {
struct TNamedColor {
    const char* Name;
    TColor Color;
};

constexpr TNamedColor kStandard[] = {
    {"Black", 0x000000},  {"Maroon", 0x000080},  {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080},  {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},     {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
};
constexpr TNamedColor kExtended[] = {
    {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6}, {"Cream", 0xF0FBFF}, {"Medium Gray", 0xA4A0A0}};
// system colours by their index, as stored colours name them
constexpr TColor SystemColor(int index) {
    return TColor(0x80000000u | unsigned(index));
}
constexpr TNamedColor kSystem[] = {{"Window", SystemColor(5)},
                                   {"Window Text", SystemColor(8)},
                                   {"Highlight", SystemColor(13)},
                                   {"Button Face", SystemColor(15)},
                                   {"Info Background", SystemColor(24)}};
} // namespace

std::function<bool(TColor&, QWidget*)> TColorBox::ChooseCustomColor = [](TColor& color, QWidget* parent) {
    const QColor c = QColorDialog::getColor(TColorBox::ToQColor(color), parent);
    if (!c.isValid()) return false;
    color = ToWinColor(c.rgb());
    return true;
};

QColor TColorBox::ToQColor(TColor color) {
    return QColor::fromRgb(ToColor32(color));
}

TColorBox::TColorBox(unsigned groups, QWidget* parent) : QComboBox(parent) {
    setIconSize(QSize(24, 12));
    if (groups & Custom) {
        AddColor(Lang("Custom..."), 0x000000);
        FCustomIndex = 0;
        FChooser = true;
    }
    auto add = [&](const auto& list) {
        for (const TNamedColor& c : list) AddColor(Lang(c.Name), c.Color);
    };
    if (groups & Standard) add(kStandard);
    if (groups & Extended) add(kExtended);
    if (groups & System) add(kSystem);
    connect(this, &QComboBox::activated, this, [this](int index) { Activated(index); });
}

void TColorBox::AddColor(const std::string& name, TColor color) {
    addItem(QString::fromStdString(name), QVariant(int(color)));
    SetSwatch(count() - 1, color);
}

void TColorBox::SetSwatch(int index, TColor color) {
    QPixmap swatch(iconSize());
    swatch.fill(ToQColor(color));
    QPainter p(&swatch);
    p.setPen(Qt::black);
    p.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    p.end();
    setItemIcon(index, QIcon(swatch));
    setItemData(index, QVariant(int(color)));
}

TColor TColorBox::Selected() const {
    const int i = currentIndex();
    return i < 0 ? 0 : TColor(itemData(i).toInt());
}

void TColorBox::Select(TColor color) {
    const int first = FCustomIndex == 0 ? 1 : 0;
    for (int i = first; i < count(); ++i)
        if (TColor(itemData(i).toInt()) == color) {
            setCurrentIndex(i);
            FLastIndex = i;
            return;
        }
    if (FCustomIndex < 0) {
        AddColor(QColor::fromRgb(ToColor32(color)).name().toStdString(), color);
        FCustomIndex = count() - 1;
    } else {
        SetSwatch(FCustomIndex, color);
    }
    setCurrentIndex(FCustomIndex);
    FLastIndex = FCustomIndex;
}

void TColorBox::Activated(int index) {
    if (index == FCustomIndex && FChooser) {
        TColor color = Selected();
        if (!ChooseCustomColor || !ChooseCustomColor(color, this)) {
            setCurrentIndex(FLastIndex); // cancelled: the colour stays as it was
            return;
        }
        SetSwatch(index, color);
    }
    FLastIndex = index;
    if (OnChange) OnChange(Selected());
}
