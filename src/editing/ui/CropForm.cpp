#include "editing/ui/CropForm.h"

#include <QLabel>
#include <QPushButton>

#include "editing/ui/ImageView.h"
#include "engine/NewRotLayer.h"
#include "language/Language.h"
#include "platform/ui/TrackBar.h"

namespace {
QString L(const char* key) {
    return QString::fromStdString(Lang(key));
}
} // namespace

TCropForm::TCropForm(const TNewRotLayer& target, QWidget* parent) : QDialog(parent) {
    setObjectName("CropForm");
    setWindowTitle(L("Crop"));
    setFixedSize(759, 535);

    View.Open(target.Picture, target.ViewedRect, kViewWidth, kViewHeight);
    ImgViewScreen = new TImageView(View.Screen, this);
    ImgViewScreen->setObjectName("ScrollBoxScreen");
    ImgViewScreen->viewport()->setObjectName("ImgViewScreen");
    // the scroll box is the view area plus 8
    ImgViewScreen->setGeometry(14, 10, kViewWidth + 8, kViewHeight + 8);
    ImgViewScreen->OnViewResized = [this](int w, int h) { View.SetViewSize(w - 8, h - 8); };

    LabelScale = new QLabel(this);
    LabelScale->setObjectName("LabelScale");
    LabelScale->setGeometry(14, 482, 48, 24);
    LabelScale->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TrackBarScale = new TTrackBar(Qt::Horizontal, this);
    TrackBarScale->setObjectName("TrackBarScale");
    TrackBarScale->setRange(TCropView::kMinZoom, TCropView::kMaxZoom);
    TrackBarScale->setGeometry(70, 482, 300, 24);
    TrackBarScale->setValue(View.Zoom());
    LabelScale->setText(QString::number(View.Zoom()) + "%");
    connect(TrackBarScale, &QSlider::valueChanged, this, [this](int v) { TrackBarScaleChange(v); });

    auto button = [&](const char* name, const char* key, int x) {
        auto* b = new QPushButton(L(key), this);
        b->setObjectName(name);
        b->setGeometry(x, 480, 110, 30);
        return b;
    };
    suiButtonReset = button("suiButtonReset", "&Reset", 399);
    suiButtonCut = button("suiButtonCut", "C&ut", 519);
    suiButtonCancel = button("suiButtonCancel", "&Cancel", 639);
    suiButtonCut->setDefault(true);
    connect(suiButtonReset, &QPushButton::clicked, this, [this] { suiButtonResetClick(); });
    connect(suiButtonCut, &QPushButton::clicked, this, [this] { suiButtonCutClick(); });
    connect(suiButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TCropForm::TrackBarScaleChange(int position) {
    View.SetZoom(position);
    LabelScale->setText(QString::number(View.Zoom()) + "%");
    ImgViewScreen->SyncGeometry();
}

void TCropForm::suiButtonResetClick() {
    TrackBarScale->setValue(View.ResetZoom());
}

void TCropForm::suiButtonCutClick() {
    Result = View.CutRect();
    Cut = true;
    accept();
}
