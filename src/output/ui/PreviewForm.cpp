#include "output/ui/PreviewForm.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <cmath>

#include "language/Language.h"

TPreviewForm::TPreviewForm(const QImage& picture, const QRect& area, double ratio, QWidget* parent)
    : QDialog(parent) {
    setObjectName("PreviewForm");
    setWindowTitle(QString::fromStdString(Lang("Preview")));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    setGeometry(area);
    setWindowState(Qt::WindowFullScreen);

    // fitted in physical pixels, then placed at the matching logical spot
    const TPixelSize physical{int(std::lround(area.width() * ratio)),
                              int(std::lround(area.height() * ratio))};
    Shown = FitOnScreen({picture.width(), picture.height()}, physical);
    QImage shown =
        picture.size() == QSize(Shown.Width, Shown.Height)
            ? picture
            : picture.scaled(Shown.Width, Shown.Height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    shown.setDevicePixelRatio(ratio);
    ImagePreview = new QLabel(this);
    ImagePreview->setObjectName("ImagePreview");
    ImagePreview->setAttribute(Qt::WA_TransparentForMouseEvents);
    ImagePreview->setPixmap(QPixmap::fromImage(shown));
    ImagePreview->setGeometry(
        QRectF(Shown.X / ratio, Shown.Y / ratio, Shown.Width / ratio, Shown.Height / ratio).toAlignedRect());

    // white text with a grey edge on a maroon box
    Label1 =
        new QLabel(QString::fromStdString(Lang("Click left mouse button or press 'Esc' key to close")), this);
    Label1->setObjectName("Label1");
    Label1->setAutoFillBackground(true);
    QPalette under = Label1->palette();
    under.setColor(QPalette::Window, QColor(0x80, 0, 0));
    under.setColor(QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    Label1->setPalette(under);
    Label1->setContentsMargins(2, 1, 3, 2);
    Label1->adjustSize();
    Label1->move(8, 8);
    Label2 = new QLabel(Label1->text(), this);
    Label2->setObjectName("Label2");
    QPalette over = Label2->palette();
    over.setColor(QPalette::WindowText, Qt::white);
    Label2->setPalette(over);
    Label2->setContentsMargins(2, 1, 3, 2);
    Label2->adjustSize();
    Label2->move(7, 7);
    for (QLabel* l : {Label1, Label2}) l->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TPreviewForm::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape)
        accept();
    else
        QDialog::keyPressEvent(e);
}

void TPreviewForm::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
    accept();
}
