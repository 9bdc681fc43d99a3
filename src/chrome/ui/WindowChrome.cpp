#include "chrome/ui/WindowChrome.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QSlider>
#include <exception>

#include "engine/Errors.h"
#include "language/Language.h"
#include "platform/Paths.h"
#include "platform/ui/ImageButton.h"

namespace {

// Colours of the chrome: a dark slate that the white captions sit on.
const QColor kBarTop(0x30, 0x35, 0x40), kBarBottom(0x1f, 0x23, 0x2a), kBarEdge(0x12, 0x14, 0x18);
const QColor kBarLight(0x44, 0x4a, 0x57);
const QColor kColumn(0x26, 0x2a, 0x32);

constexpr int kTopMargin = 6, kTopLeft = 8, kColumnMargin = 6;

// The top bar: a soft vertical gradient with a light top edge and a dark
// bottom edge; the logo stays at its right end.
class TTopBar : public QWidget {
public:
    using QWidget::QWidget;
    QWidget* Logo = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, kBarTop);
        g.setColorAt(1, kBarBottom);
        p.fillRect(rect(), g);
        p.fillRect(0, 0, width(), 1, kBarLight);
        p.fillRect(0, height() - 1, width(), 1, kBarEdge);
    }
    void resizeEvent(QResizeEvent*) override { PlaceLogo(); }

public:
    void PlaceLogo() {
        if (Logo) Logo->move(width() - Logo->width() - 14, (height() - Logo->height()) / 2);
    }
};

// The column of photo tools: flat, a shade lighter than the top bar's foot.
class TToolColumn : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), kColumn);
        p.fillRect(width() - 1, 0, 1, height(), kBarEdge);
    }
};

// A separator of the status bar: a grey line with a darker one beside it.
class TBevel : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(0, 0, 1, height(), QColor(0x5a, 0x5e, 0x66));
        p.fillRect(1, 0, 1, height(), QColor(0x16, 0x17, 0x1a));
    }
};

QLabel* StatusLabel(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    return l;
}

} // namespace

TWindowChrome::TWindowChrome(QWidget* parent) : QObject(parent) {
    setObjectName("WindowChrome");
    BuildTopBar(parent);
    BuildToolColumn(parent);
    BuildStatusBar(parent);
}

// ---- The bars ----

void TWindowChrome::BuildTopBar(QWidget* parent) {
    auto* bar = new TTopBar(parent);
    TopBar = bar;
    bar->setObjectName("PanelTop");
    bar->setFixedHeight(kMainButtonHeight + kTopMargin + 4);
    int right = 0;
    for (const TPictureButtonInfo& info : PictureButtons()) {
        const int left = MainButtonLeft(info.Name);
        if (left < 0) continue;
        auto* b = new TImageButton(bar);
        b->setObjectName(info.Name);
        b->setFixedSize(kMainButtonWidth, kMainButtonHeight);
        b->move(kTopLeft + left, kTopMargin);
        right = std::max(right, kTopLeft + left + kMainButtonWidth);
        Adopt(b);
    }
    ImageLogo = new TImageButton(bar);
    ImageLogo->setObjectName("ImageLogo");
    ImageLogo->setCursor(Qt::PointingHandCursor);
    bar->Logo = ImageLogo;
    bar->setMinimumWidth(right + 24);
}

void TWindowChrome::BuildToolColumn(QWidget* parent) {
    ToolColumn = new TToolColumn(parent);
    ToolColumn->setObjectName("PanelTools");
    ToolColumn->setFixedWidth(kToolButtonWidth + 2 * kColumnMargin);
    int bottom = 0;
    for (const TPictureButtonInfo& info : PictureButtons()) {
        const int top = ToolButtonTop(info.Name);
        if (top < 0) continue;
        auto* b = new TImageButton(ToolColumn);
        b->setObjectName(info.Name);
        b->setFixedSize(kToolButtonWidth, kToolButtonHeight);
        b->move(kColumnMargin, top);
        bottom = std::max(bottom, top + kToolButtonHeight);
        Adopt(b);
    }
    ToolColumn->setMinimumHeight(bottom + 12);
}

void TWindowChrome::BuildStatusBar(QWidget* parent) {
    StatusBar = new QWidget(parent);
    StatusBar->setObjectName("PanelStatusBar");
    StatusBar->setFixedHeight(26);
    StatusBar->setAutoFillBackground(true);
    QPalette pal = StatusBar->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    StatusBar->setPalette(pal);
    auto* row = new QHBoxLayout(StatusBar);
    row->setContentsMargins(10, 0, 10, 0);
    row->setSpacing(10);
    auto bevel = [&](const char* name) {
        auto* f = new TBevel(StatusBar);
        f->setObjectName(name);
        f->setFixedSize(2, 16);
        return f;
    };
    LabelSize = StatusLabel(StatusBar, "LabelSize");
    LabelSaved = StatusLabel(StatusBar, "LabelSaved");
    LabelScale = StatusLabel(StatusBar, "LabelScale");
    LabelScale->setMinimumWidth(40);
    LabelScale->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // the hint is placed by hand between the two separators
    LabelOperation = StatusLabel(StatusBar, "LabelOperation");
    TrackBarScale = new QSlider(Qt::Horizontal, StatusBar);
    TrackBarScale->setObjectName("TrackBarScale");
    TrackBarScale->setFixedWidth(180);
    TrackBarScale->setStyleSheet(
        "QSlider::groove:horizontal { height: 4px; background: #4a4f58; border-radius: 2px; }"
        "QSlider::sub-page:horizontal { height: 4px; background: #5b9dff; border-radius: 2px; }"
        "QSlider::handle:horizontal { width: 12px; margin: -4px 0; border-radius: 6px; background: #f4f6fa; }"
        "QSlider::handle:horizontal:hover { background: #ffffff; }");
    row->addWidget(LabelSize);
    row->addWidget(Bevel1 = bevel("Bevel1"));
    row->addWidget(LabelSaved);
    row->addWidget(Bevel2 = bevel("Bevel2"));
    row->addStretch(1);
    row->addWidget(Bevel3 = bevel("Bevel3"));
    row->addWidget(LabelScale);
    row->addWidget(TrackBarScale);
    // the hint stays centred when the separators move with the window's width
    Bevel3->installEventFilter(this);
}

// ---- Buttons ----

TImageButton* TWindowChrome::Button(const std::string& name) const {
    const auto it = FButtons.find(name);
    return it == FButtons.end() ? nullptr : it->second;
}

std::vector<TImageButton*> TWindowChrome::Buttons() const {
    std::vector<TImageButton*> all;
    for (const auto& [name, b] : FButtons) all.push_back(b);
    return all;
}

void TWindowChrome::Adopt(TImageButton* button) {
    const std::string name = button->objectName().toStdString();
    FButtons[name] = button;
    if (const TPictureButtonInfo* info = FindPictureButton(name); info && info->Hint > 0)
        AddHint(button, info->Hint);
}

void TWindowChrome::AddHint(QWidget* widget, int n) {
    FHints[widget] = n;
    widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this, [this, widget] { FHints.erase(widget); });
}

void TWindowChrome::PaintButtonCaptions(const std::string& root, const TCaptionOf& captionOf) {
    std::exception_ptr failure;
    for (const TPictureButtonInfo& info : PictureButtons()) {
        TImageButton* b = Button(info.Name);
        if (!b) continue;
        try {
            TButtonFaces faces = LoadButtonFaces(root, info, b->devicePixelRatioF());
            PaintCaption(faces, PaintedCaption(captionOf(info)), info.Layout);
            b->SetPictures(faces);
        } catch (const std::exception&) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
}

void TWindowChrome::LoadLogo(const std::string& root) {
    const double ratio = ImageLogo->devicePixelRatioF();
    const std::string file = root + "resource/logo.png";
    QImage logo;
    if (ratio > 1) logo.load(QString::fromStdString(DoubleSizeFile(file)));
    if (!logo.isNull())
        logo.setDevicePixelRatio(2);
    else
        logo.load(QString::fromStdString(file));
    if (logo.isNull()) {
        ImageLogo->hide();
        return;
    }
    // the pointer over it lifts the logo a little
    QImage lifted = logo.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&lifted);
        p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        p.fillRect(lifted.rect(), QColor(255, 255, 255, 36));
    }
    ImageLogo->SetPictures({logo, lifted, logo, QImage()});
    ImageLogo->show();
    static_cast<TTopBar*>(TopBar)->PlaceLogo();
}

void TWindowChrome::EnableUndoRedo(bool undo, bool redo) {
    if (TImageButton* b = Button("ImageButtonUndo")) b->setEnabled(undo);
    if (TImageButton* b = Button("ImageButtonRedo")) b->setEnabled(redo);
}

// ---- Hints ----

void TWindowChrome::ShowHint(const std::string& text) {
    LabelOperation->setText(QString::fromStdString(text));
    // emptied without moving: the next hint places itself
    if (text.empty()) return;
    LabelOperation->adjustSize();
    const int left = HintLeft(Bevel2->x(), Bevel3->x(), LabelOperation->width());
    LabelOperation->move(left, (StatusBar->height() - LabelOperation->height()) / 2);
}

bool TWindowChrome::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Bevel3 && event->type() == QEvent::Move && !LabelOperation->text().isEmpty())
        ShowHint(LabelOperation->text().toStdString());
    const auto hint = FHints.find(watched);
    if (hint != FHints.end()) {
        if (event->type() == QEvent::Enter) ShowHint(HintText(hint->second));
        if (event->type() == QEvent::Leave) ShowHint("");
    }
    return QObject::eventFilter(watched, event);
}
