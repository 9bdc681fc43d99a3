#include "platform/ui/ImageButton.h"

#include <QEvent>
#include <QPainter>

TImageButton::TImageButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover, false); // the pictures carry the hover look
}

void TImageButton::SetPictures(const std::array<QImage, 4>& pictures) {
    FPictures = pictures;
    const QImage& normal = FPictures[Normal];
    if (!normal.isNull()) setFixedSize(normal.deviceIndependentSize().toSize());
    update();
}

TImageButton::TState TImageButton::ShownState() const {
    if (!isEnabled()) return FPictures[Disabled].isNull() ? Normal : Disabled;
    if (isDown() || isChecked()) return FPictures[Pressed].isNull() ? Normal : Pressed;
    if (FOver) return FPictures[Hover].isNull() ? Normal : Hover;
    return Normal;
}

const QImage& TImageButton::ShownPicture() const {
    return FPictures[ShownState()];
}

QSize TImageButton::sizeHint() const {
    const QImage& normal = FPictures[Normal];
    return normal.isNull() ? QSize(24, 24) : normal.deviceIndependentSize().toSize();
}

void TImageButton::paintEvent(QPaintEvent*) {
    const QImage& picture = ShownPicture();
    if (picture.isNull()) return;
    QPainter p(this);
    p.drawImage(QPointF(0, 0), picture);
}

void TImageButton::enterEvent(QEnterEvent* e) {
    FOver = true;
    update();
    emit MouseEnter();
    QAbstractButton::enterEvent(e);
}

void TImageButton::leaveEvent(QEvent* e) {
    FOver = false;
    update();
    emit MouseLeave();
    QAbstractButton::leaveEvent(e);
}

void TImageButton::changeEvent(QEvent* e) {
    if (e->type() == QEvent::EnabledChange) update();
    QAbstractButton::changeEvent(e);
}
