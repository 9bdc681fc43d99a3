#include "text/ui/ColorBox.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include "language/Language.h"

const TColor kStandardColors[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                    0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                    0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

namespace {
constexpr int kCustom = 16;

QIcon Swatch(TColor c) {
    QPixmap pm(16, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const TColor32 argb = ToColor32(c);
    p.fillRect(QRect(0, 0, 15, 11), QColor(RedOf(argb), GreenOf(argb), BlueOf(argb)));
    p.setPen(QColor(90, 90, 90));
    p.drawRect(QRect(0, 0, 15, 11));
    return QIcon(pm);
}
} // namespace

std::function<std::optional<TColor>(TColor, QWidget*)> TTextColorBox::PickColor = [](TColor current,
                                                                                 QWidget* parent) {
    const TColor32 c = ToColor32(current);
    const QColor chosen = QColorDialog::getColor(QColor(RedOf(c), GreenOf(c), BlueOf(c)), parent);
    if (!chosen.isValid()) return std::optional<TColor>();
    return std::optional<TColor>(ToWinColor(chosen.rgb()));
};

TTextColorBox::TTextColorBox(QWidget* parent) : QComboBox(parent) {
    for (TColor c : kStandardColors) addItem(Swatch(c), QString());
    addItem(Swatch(FColor), QString());
    ApplyLanguage();
    setCurrentIndex(FLastIndex);
    connect(this, &QComboBox::activated, this, &TTextColorBox::Chosen);
}

void TTextColorBox::ApplyLanguage() {
    const std::vector<std::string>& names = TextColorNames();
    for (int i = 0; i < count() && i < int(names.size()); ++i)
        setItemText(i, QString::fromStdString(Lang(names[size_t(i)])));
}

void TTextColorBox::SetColor(TColor color) {
    QSignalBlocker quiet(this);
    FColor = color & 0xFFFFFF;
    for (int i = 0; i < kCustom; ++i)
        if (kStandardColors[i] == FColor) {
            setCurrentIndex(FLastIndex = i);
            return;
        }
    setItemIcon(kCustom, Swatch(FColor));
    setCurrentIndex(FLastIndex = kCustom);
}

void TTextColorBox::Chosen(int index) {
    if (index < kCustom) {
        FLastIndex = index;
        FColor = kStandardColors[index];
        emit ColorChanged(FColor);
        return;
    }
    const std::optional<TColor> picked = PickColor ? PickColor(FColor, this) : std::nullopt;
    if (!picked) {
        QSignalBlocker quiet(this);
        setCurrentIndex(FLastIndex); // cancelled: the colour stays
        return;
    }
    SetColor(*picked);
    emit ColorChanged(FColor);
}
