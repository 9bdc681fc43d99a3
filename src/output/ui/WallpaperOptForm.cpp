#include "output/ui/WallpaperOptForm.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "language/Language.h"
#include "platform/Messages.h"

namespace {
QString L(const char* key) { return QString::fromStdString(Lang(key)); }

// A sample desktop: a monitor whose screen shows a small collage placed the
// way the style places it.
QPixmap Sample(TWallpaperStyle style) {
    QPixmap pm(178, 160);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(60, 60, 66));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(4, 4, 170, 120), 8, 8);
    p.drawRect(QRectF(76, 124, 26, 18));
    p.drawRoundedRect(QRectF(50, 140, 78, 10), 4, 4);
    const QRectF screen(12, 12, 154, 104);
    p.fillRect(screen, QColor(36, 92, 160));
    auto collage = [&](const QRectF& r) {
        QLinearGradient g(r.topLeft(), r.bottomRight());
        g.setColorAt(0, QColor(250, 200, 120));
        g.setColorAt(1, QColor(220, 90, 110));
        p.fillRect(r, g);
        p.fillRect(QRectF(r.x() + r.width() * 0.1, r.y() + r.height() * 0.15, r.width() * 0.35, r.height() * 0.4),
                   QColor(255, 255, 255, 200));
        p.fillRect(QRectF(r.x() + r.width() * 0.55, r.y() + r.height() * 0.45, r.width() * 0.35, r.height() * 0.4),
                   QColor(90, 160, 210, 220));
    };
    p.setClipRect(screen);
    switch (style) {
    case TWallpaperStyle::Center: collage(QRectF(screen.center().x() - 35, screen.center().y() - 24, 70, 48)); break;
    case TWallpaperStyle::Tile:
        for (qreal y = screen.top(); y < screen.bottom(); y += 35)
            for (qreal x = screen.left(); x < screen.right(); x += 52) collage(QRectF(x, y, 51, 34));
        break;
    case TWallpaperStyle::Stretch: collage(screen); break;
    }
    return pm;
}
} // namespace

TWallpaperOptForm::TWallpaperOptForm(QWidget* parent) : QDialog(parent) {
    setObjectName("WallpaperOptForm");
    setWindowTitle(L("Desktop Wallpaper Option"));
    setFixedSize(505, 328);
    FMessage = Lang("Please select an option for wallpaper!");
    RadioButtonCenter = new QRadioButton(L("Center"), this);
    RadioButtonTile = new QRadioButton(L("Tile"), this);
    RadioButtonStretch = new QRadioButton(L("Stretch"), this);
    RadioButtonCenter->setObjectName("RadioButtonCenter");
    RadioButtonTile->setObjectName("RadioButtonTile");
    RadioButtonStretch->setObjectName("RadioButtonStretch");
    int y = 70;
    for (QRadioButton* r : {RadioButtonCenter, RadioButtonTile, RadioButtonStretch}) {
        r->setGeometry(40, y, 140, 28);
        y += 44;
    }
    ImageCenter = new QLabel(this);
    ImageTile = new QLabel(this);
    ImageStretch = new QLabel(this);
    ImageCenter->setPixmap(Sample(TWallpaperStyle::Center));
    ImageTile->setPixmap(Sample(TWallpaperStyle::Tile));
    ImageStretch->setPixmap(Sample(TWallpaperStyle::Stretch));
    for (QLabel* l : {ImageCenter, ImageTile, ImageStretch}) l->setGeometry(200, 49, 178, 160);
    connect(RadioButtonCenter, &QRadioButton::clicked, this, [this] { ShowSample(ImageCenter); });
    connect(RadioButtonTile, &QRadioButton::clicked, this, [this] { ShowSample(ImageTile); });
    connect(RadioButtonStretch, &QRadioButton::clicked, this, [this] { ShowSample(ImageStretch); });
    auto* ok = new QPushButton(L("&OK"), this);
    ok->setObjectName("BitBtnOK");
    ok->setGeometry(300, 270, 90, 32);
    ok->setDefault(true);
    auto* cancel = new QPushButton(L("&Cancel"), this);
    cancel->setObjectName("BitBtnCancel");
    cancel->setGeometry(400, 270, 90, 32);
    connect(ok, &QPushButton::clicked, this, [this] { BitBtnOKClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // opens with the centre option and its sample, as a click on it does
    RadioButtonCenter->setChecked(true);
    ShowSample(ImageCenter);
}

void TWallpaperOptForm::ShowSample(QLabel* sample) {
    for (QLabel* l : {ImageCenter, ImageTile, ImageStretch}) l->setVisible(l == sample);
    sample->move(200, 49);
}

TWallpaperStyle TWallpaperOptForm::Style() const {
    if (RadioButtonTile->isChecked()) return TWallpaperStyle::Tile;
    if (RadioButtonStretch->isChecked()) return TWallpaperStyle::Stretch;
    return TWallpaperStyle::Center;
}

void TWallpaperOptForm::BitBtnOKClick() {
    if (!RadioButtonCenter->isChecked() && !RadioButtonTile->isChecked() && !RadioButtonStretch->isChecked()) {
        ShowInfo(FMessage);
        return;
    }
    Accepted = true;
    accept();
}
