#include "editing/ui/ShadowForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "editing/AppearanceCommands.h"
#include "language/Language.h"
#include "platform/ui/ColorBox.h"
#include "platform/ui/TrackBar.h"

namespace {
QString L(const char* key) {
    return QString::fromStdString(Lang(key));
}
} // namespace

TShadowForm::TShadowForm(TShadowSession& session, std::function<void(const std::function<void()>&)> guard,
                         QWidget* parent)
    : QDialog(parent), FSession(session), FGuard(std::move(guard)) {
    setObjectName("ShadowForm");
    setWindowTitle(L("Shadow"));
    setFixedSize(497, 306);
    suiTrackBarOffsetX =
        AddPair(0, "Offset_X", "SpinEditOffsetX", "suiTrackBarOffsetX", -100, 100, SpinEditOffsetX);
    suiTrackBarOffsetY =
        AddPair(1, "Offset_Y", "SpinEditOffsetY", "suiTrackBarOffsetY", -100, 100, SpinEditOffsetY);
    suiTrackBarOpacity =
        AddPair(2, "Opacity", "SpinEditOpacity", "suiTrackBarOpacity", 0, 100, SpinEditOpacity);
    suiTrackBarSmoothness =
        AddPair(3, "Smoothness", "SpinEditSmoothness", "suiTrackBarSmoothness", 0, 10, SpinEditSmoothness);

    auto* colorLabel = new QLabel(L("Show Color"), this);
    colorLabel->setGeometry(24, 188, 110, 26);
    ColorBoxColor = new TColorBox(
        TColorBox::Standard | TColorBox::Extended | TColorBox::System | TColorBox::Custom, this);
    ColorBoxColor->setObjectName("ColorBoxColor");
    ColorBoxColor->setGeometry(140, 188, 200, 26);
    ColorBoxColor->OnChange = [this](TColor c) { FGuard([this, c] { FSession.SetColor(c); }); };

    CheckBoxSetShadow = new QCheckBox(L("Set Shadow"), this);
    CheckBoxSetShadow->setObjectName("CheckBoxSetShadow");
    CheckBoxSetShadow->setGeometry(24, 232, 200, 24);
    CheckBoxSetShadow->setChecked(true);
    connect(CheckBoxSetShadow, &QCheckBox::clicked, this, [this] { CheckBoxSetShadowClick(); });

    ButtonApply = new QPushButton(L("&Apply"), this);
    ButtonApply->setObjectName("ButtonApply");
    ButtonApply->setGeometry(270, 262, 100, 30);
    ButtonApply->setDefault(true);
    ButtonCancel = new QPushButton(L("&Cancel"), this);
    ButtonCancel->setObjectName("ButtonCancel");
    ButtonCancel->setGeometry(380, 262, 100, 30);
    connect(ButtonApply, &QPushButton::clicked, this, [this] { ButtonApplyClick(); });
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TTrackBar* TShadowForm::AddPair(int setting, const char* caption, const char* spinName, const char* barName,
                                int low, int high, QSpinBox*& spin) {
    const int y = 20 + setting * 42;
    auto* label = new QLabel(L(caption), this);
    label->setGeometry(24, y, 110, 26);
    auto* bar = new TTrackBar(Qt::Horizontal, this);
    bar->setObjectName(barName);
    bar->setRange(low, high);
    bar->setGeometry(140, y, 250, 26);
    spin = new QSpinBox(this);
    spin->setObjectName(spinName);
    spin->setRange(low, high);
    spin->setGeometry(405, y, 68, 26);
    QSpinBox* box = spin;
    // the two stay coupled; each change reaches the layers once
    connect(bar, &QSlider::valueChanged, this, [this, box, setting](int v) {
        {
            const QSignalBlocker block(box);
            box->setValue(v);
        }
        ApplySetting(setting, v);
    });
    connect(spin, &QSpinBox::valueChanged, this, [this, bar, setting](int v) {
        {
            const QSignalBlocker block(bar);
            bar->setValue(v);
        }
        ApplySetting(setting, bar->value());
    });
    return bar;
}

void TShadowForm::ApplySetting(int setting, int value) {
    FGuard([&] {
        switch (setting) {
        case 0:
            FSession.SetOffsetX(value);
            break;
        case 1:
            FSession.SetOffsetY(value);
            break;
        case 2:
            FSession.SetOpacity(value);
            break;
        default:
            FSession.SetSmoothness(value);
            break;
        }
    });
}

void TShadowForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TShadowForm::FormShow() {
    const TShadowValues& v = FSession.Initial();
    const std::pair<QSpinBox*, int> values[] = {{SpinEditOffsetX, v.OffsetX},
                                                {SpinEditOffsetY, v.OffsetY},
                                                {SpinEditOpacity, v.Opacity},
                                                {SpinEditSmoothness, v.Smoothness}};
    for (auto [spin, value] : values) {
        const QSignalBlocker block(spin);
        spin->setValue(value);
    }
    for (auto [bar, spin] : {std::pair{suiTrackBarOffsetX, SpinEditOffsetX},
                             {suiTrackBarOffsetY, SpinEditOffsetY},
                             {suiTrackBarOpacity, SpinEditOpacity},
                             {suiTrackBarSmoothness, SpinEditSmoothness}}) {
        const QSignalBlocker block(bar);
        bar->setValue(spin->value());
    }
    ColorBoxColor->Select(v.Color);
    CheckBoxSetShadow->setChecked(v.On);
    EnableControls(v.On);
    // every selected layer takes what the dialog shows
    FGuard([&] { FSession.Begin(); });
}

void TShadowForm::EnableControls(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             SpinEditOffsetX, SpinEditOffsetY, SpinEditOpacity, SpinEditSmoothness, suiTrackBarOffsetX,
             suiTrackBarOffsetY, suiTrackBarOpacity, suiTrackBarSmoothness, ColorBoxColor})
        w->setEnabled(on);
}

void TShadowForm::CheckBoxSetShadowClick() {
    const bool on = CheckBoxSetShadow->isChecked();
    EnableControls(on);
    FGuard([&] { FSession.SetShadowShown(on); });
}

void TShadowForm::ButtonApplyClick() {
    bool ok = false;
    FGuard([&] {
        FSession.Apply();
        ok = true;
    });
    if (!ok) return;
    Applied = true;
    accept();
}

void TShadowForm::done(int result) {
    // Cancel, Escape and the window's close button all end here
    if (!Applied) FGuard([&] { FSession.Cancel(); });
    QDialog::done(result);
}
