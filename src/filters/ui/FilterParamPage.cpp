#include "filters/ui/FilterParamPage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "language/Language.h"

// ---- TPreviewImage ----

TPreviewImage::TPreviewImage(QWidget* parent) : QWidget(parent) {
    setObjectName("Image32FilterPhoto");
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPreviewImage::SetPicture(const TBitmap32& picture) {
    FPicture.Assign(picture);
    update();
}

void TPreviewImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (FPicture.Empty()) return;
    const QImage img(reinterpret_cast<const uchar*>(FPicture.Bits()), FPicture.Width(), FPicture.Height(),
                     FPicture.Width() * 4, QImage::Format_RGB32);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QPoint((width() - FPicture.Width()) / 2, (height() - FPicture.Height()) / 2), img);
}

// ---- TFilterParamPage ----

TFilterParamPage::TFilterParamPage(QWidget* parent) : QWidget(parent) {
    setObjectName("FilterParamPage");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    LabelFilter = new QLabel(this);
    LabelFilter->setObjectName("LabelFilter");
    LabelFilter->setAlignment(Qt::AlignCenter);
    QFont bold = LabelFilter->font();
    bold.setBold(true);
    LabelFilter->setFont(bold);
    column->addWidget(LabelFilter);
    Image32FilterPhoto = new TPreviewImage(this);
    column->addWidget(Image32FilterPhoto, 0, Qt::AlignHCenter);
    for (int k = 0; k < 3; ++k) {
        auto* label = new QLabel(this);
        label->setObjectName(QString("LabelParam%1").arg(k + 1));
        auto* bar = new QSlider(Qt::Horizontal, this);
        bar->setObjectName(QString("TrackBarParam%1").arg(k + 1));
        bar->setSingleStep(1);
        bar->setPageStep(2);
        bar->setProperty("tag", int(fmNone));
        connect(bar, &QSlider::valueChanged, this, [this] {
            if (OnTrackBarChange) OnTrackBarChange();
        });
        column->addWidget(label);
        column->addWidget(bar);
        LabelParam[size_t(k)] = label;
        TrackBarParam[size_t(k)] = bar;
    }
    CheckBoxParam1 = new QCheckBox(this);
    CheckBoxParam1->setObjectName("CheckBoxParam1");
    connect(CheckBoxParam1, &QCheckBox::clicked, this, [this] {
        if (OnCheckBoxClick) OnCheckBoxClick();
    });
    column->addWidget(CheckBoxParam1);
    auto* buttons = new QHBoxLayout;
    suiButtonApply = new QPushButton(this);
    suiButtonApply->setObjectName("suiButtonApply");
    suiButtonCancel = new QPushButton(this);
    suiButtonCancel->setObjectName("suiButtonCancel");
    connect(suiButtonApply, &QPushButton::clicked, this, [this] {
        if (OnApply) OnApply();
    });
    connect(suiButtonCancel, &QPushButton::clicked, this, [this] {
        if (OnCancel) OnCancel();
    });
    buttons->addWidget(suiButtonApply);
    buttons->addWidget(suiButtonCancel);
    column->addLayout(buttons);
    column->addStretch(1);
    SetUp(-1);
    ApplyLanguage();
}

void TFilterParamPage::SetUp(int filterIndex) {
    FFilterIndex = filterIndex;
    const TParamPageSetup s = ParamPageSetup(filterIndex);
    CheckBoxParam1->hide();
    for (int k = 0; k < 3; ++k) {
        QSlider* bar = TrackBarParam[size_t(k)];
        const TParamBar& b = s.Bars[size_t(k)];
        const QSignalBlocker quiet(bar);
        bar->setProperty("tag", s.Mode);
        if (b.Visible) {
            bar->setRange(b.Min, b.Max);
            bar->setValue(b.Position);
        }
        FLabelIndex[size_t(k)] = b.LabelIndex;
        bar->setVisible(b.Visible);
        LabelParam[size_t(k)]->setVisible(b.Visible);
    }
    if (s.CheckBox) {
        CheckBoxParam1->setChecked(true);
        CheckBoxParam1->show();
    }
    ApplyLanguage();
}

int TFilterParamPage::Mode() const {
    return TrackBarParam[0]->property("tag").toInt();
}

TParamValues TFilterParamPage::Values() const {
    TParamValues v;
    for (int k = 0; k < 3; ++k) v.Bars[size_t(k)] = TrackBarParam[size_t(k)]->value();
    v.Checked = CheckBoxParam1->isChecked();
    return v;
}

void TFilterParamPage::ApplyLanguage() {
    const std::vector<std::string> names = FilterNames();
    auto text = [](const std::string& s) {
        return QString::fromStdString(s).replace('\r', ' ').replace('\n', ' ');
    };
    LabelFilter->setText(FFilterIndex >= 0 && FFilterIndex < kFilterCount ? text(names[size_t(FFilterIndex)])
                                                                          : QString());
    for (int k = 0; k < 3; ++k) {
        const int i = FLabelIndex[size_t(k)];
        LabelParam[size_t(k)]->setText(i >= 0 && i < int(names.size()) ? text(names[size_t(i)]) : QString());
    }
    CheckBoxParam1->setText(text(names[16]));
    suiButtonApply->setText(QString::fromStdString(Lang("&Apply")));
    suiButtonCancel->setText(QString::fromStdString(Lang("&Cancel")));
}
