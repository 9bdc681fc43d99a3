#include "editing/ui/TransForm.h"

#include <QLinearGradient>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>

#include "document/CanvasEditor.h"
#include "platform/ui/TrackBar.h"

TTransForm::TTransForm(TCanvasEditor& editor, std::function<void(const std::function<void()>&)> guard,
                       QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), FEditor(editor), FGuard(std::move(guard)) {
    setObjectName("TransForm");
    setFixedSize(42, 342);
    ImageButtonClose = new QToolButton(this);
    ImageButtonClose->setObjectName("ImageButtonClose");
    ImageButtonClose->setText(QString::fromUtf8("\u00D7"));
    ImageButtonClose->setAutoRaise(true);
    ImageButtonClose->setGeometry(11, 3, 20, 20);
    connect(ImageButtonClose, &QToolButton::clicked, this, &QWidget::hide);

    suiTrackBarTrans = new TTrackBar(Qt::Vertical, this);
    suiTrackBarTrans->setObjectName("suiTrackBarTrans");
    suiTrackBarTrans->setRange(0, 100);
    // 0 (opaque) at the top, and the arrow keys move the handle the way
    // they point
    suiTrackBarTrans->setInvertedAppearance(true);
    suiTrackBarTrans->setInvertedControls(true);
    suiTrackBarTrans->setGeometry(9, 28, 24, 278);
    SpinEditTrans = new QSpinBox(this);
    SpinEditTrans->setObjectName("SpinEditTrans");
    SpinEditTrans->setRange(0, 100);
    SpinEditTrans->setButtonSymbols(QAbstractSpinBox::NoButtons);
    SpinEditTrans->setAlignment(Qt::AlignCenter);
    SpinEditTrans->setGeometry(3, 312, 36, 24);

    connect(suiTrackBarTrans, &QSlider::valueChanged, this, [this](int v) { TrackBarChange(v); });
    connect(SpinEditTrans, &QSpinBox::valueChanged, this, [this](int v) { SpinEditChange(v); });
    suiTrackBarTrans->OnMouseDown = [this] { TrackBarMouseDown(); };
    suiTrackBarTrans->OnMouseUp = [this] { TrackBarMouseUp(); };
}

void TTransForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient g(0, 0, width(), 0);
    g.setColorAt(0, QColor(70, 74, 82));
    g.setColorAt(1, QColor(46, 48, 54));
    p.fillRect(rect(), g);
    p.setPen(QColor(20, 20, 24));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TTransForm::ShowFor(TNewRotLayer* target, const QPoint& topLeft) {
    move(topLeft);
    SetTarget(target);
    show();
    raise();
}

void TTransForm::SetTarget(TNewRotLayer* target) {
    if (!target) return;
    const int t = TransparencyOfAlpha(target->Picture.MasterAlpha);
    const QSignalBlocker a(suiTrackBarTrans), b(SpinEditTrans);
    suiTrackBarTrans->setValue(t);
    SpinEditTrans->setValue(t);
}

void TTransForm::TrackBarChange(int position) {
    {
        const QSignalBlocker block(SpinEditTrans);
        SpinEditTrans->setValue(position);
    }
    FGuard([&] { ApplyTransparency(FEditor, position); });
}

void TTransForm::SpinEditChange(int value) {
    {
        const QSignalBlocker block(suiTrackBarTrans);
        suiTrackBarTrans->setValue(value);
    }
    FGuard([&] { ApplyTransparency(FEditor, suiTrackBarTrans->value()); });
}

void TTransForm::TrackBarMouseDown() {
    FSnapshots = TakeOpacitySnapshots(FEditor);
    FPressPosition = suiTrackBarTrans->value();
}

void TTransForm::TrackBarMouseUp() {
    if (FPressPosition >= 0 && suiTrackBarTrans->value() != FPressPosition)
        FGuard([&] { RecordOpacityStep(FEditor, FSnapshots); });
    FSnapshots.clear();
    FPressPosition = -1;
}
