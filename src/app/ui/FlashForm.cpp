#include "app/ui/FlashForm.h"

#include <QFileInfo>
#include <QPainter>
#include <QGuiApplication>
#include <QScreen>

#include "engine/Bitmap32.h"
#include "engine/PictureUtils.h"

TFlashForm::TFlashForm(const QString& resourceRoot)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("FlashForm");
    setAttribute(Qt::WA_TranslucentBackground);
    // a high-density screen gets the picture drawn at twice the size
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    const QString sharp = resourceRoot + "resource/start@2x.png";
    const bool twice = ratio > 1.0 && QFileInfo::exists(sharp);
    const QString file = twice ? sharp : resourceRoot + "resource/start.png";
    if (QFileInfo::exists(file)) {
        TBitmap32 bmp;
        try {
            LoadPNG32(file.toStdString(), bmp);
        } catch (...) {
            bmp.SetSize(0, 0); // a damaged splash picture leaves the splash blank
        }
        if (!bmp.Empty()) {
            FPicture = bmp.ToImage();
            if (twice) FPicture.setDevicePixelRatio(2.0); // the text below goes where it would at 1x
            QPainter p(&FPicture);
            QFont font("Arial");
            font.setPointSize(16);
            p.setFont(font);
            p.setPen(Qt::white);
            p.drawText(QRect(200, 50, 300, 200), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, "Loading...");
        }
    }
    resize(FPicture.isNull() ? QSize(400, 250) : FPicture.deviceIndependentSize().toSize());
    if (screen) {
        const QRect g = screen->geometry();
        move(g.center() - rect().center());
    }
}

void TFlashForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(rect(), Qt::transparent);
    if (!FPicture.isNull()) p.drawImage(0, 0, FPicture);
}
