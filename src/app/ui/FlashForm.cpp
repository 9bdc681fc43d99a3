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
    const QString file = resourceRoot + "resource/start.png";
    if (QFileInfo::exists(file)) {
        TBitmap32 bmp;
        try {
            LoadPNG32(file.toStdString(), bmp);
        } catch (...) {
            bmp.SetSize(0, 0); // a damaged splash picture leaves the splash blank
        }
        if (!bmp.Empty()) {
            FPicture = bmp.ToImage();
            QPainter p(&FPicture);
            QFont font("Arial");
            font.setPointSize(16);
            p.setFont(font);
            p.setPen(Qt::white);
            p.drawText(QRect(200, 50, 300, 200), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, "Loading...");
        }
    }
    resize(FPicture.isNull() ? QSize(400, 250) : FPicture.size());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
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
