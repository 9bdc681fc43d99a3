#include "text/ui/TextPage.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "language/Language.h"
#include "platform/Paths.h"
#include "text/ui/ColorBox.h"

const char* const TTextPage::kSizes[13] = {"10", "12", "14", "18",  "22",  "24", "30",
                                           "60", "70", "80", "100", "120", "160"};

namespace {

// ---- Pictures of the small buttons ----

QIcon LetterIcon(const char* letter, bool bold, bool italic, bool underline) {
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f("serif");
    f.setPixelSize(15);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    p.setFont(f);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRect(0, 0, 20, 19), Qt::AlignCenter, letter);
    return QIcon(pm);
}

QIcon AlignIcon(int align) {
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const int widths[] = {14, 9, 14, 7};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        const int x = align == 0 ? 3 : align == 1 ? (20 - w) / 2 : 17 - w;
        p.fillRect(x, 4 + i * 3, w, 2, QColor(30, 30, 30));
    }
    return QIcon(pm);
}

// The little "TT" mark in front of every family of the font list.
QPixmap FontMark() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f("serif");
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(150, 150, 150));
    p.drawText(QRect(4, 2, 12, 14), Qt::AlignCenter, "T");
    p.setPen(QColor(40, 90, 170));
    p.drawText(QRect(0, 0, 12, 14), Qt::AlignCenter, "T");
    return pm;
}

// Every family written in its own face. Items are drawn only when the list
// shows them, so even a few hundred installed families open at once.
class TFontItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        p->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
        static const QPixmap mark = FontMark();
        p->drawPixmap(option.rect.left() + 2, option.rect.top() + 4, mark);
        QFont f(index.data().toString());
        f.setPixelSize(16);
        p->setFont(f);
        p->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
        p->drawText(option.rect.adjusted(22, 2, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                    index.data().toString());
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {200, 26}; }
};

std::string WithCrLf(const QString& text) {
    std::string out;
    for (const char c : text.toStdString()) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

QString WithoutCr(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace("\r\n", "\n");
    s.replace('\r', '\n');
    return s;
}

int PixelSizeOf(const QFont& f) {
    return f.pixelSize() > 0 ? f.pixelSize() : f.pointSize();
}

} // namespace

TTextPage::TTextPage(QWidget* parent) : QWidget(parent) {
    setObjectName("TextPage");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(5);

    LabelInputText = new QLabel(this);
    LabelInputText->setObjectName("LabelInputText");
    column->addWidget(LabelInputText);
    MemoText = new QTextEdit(this);
    MemoText->setObjectName("MemoText");
    MemoText->setAcceptRichText(false);
    MemoText->setLineWrapMode(QTextEdit::NoWrap);
    MemoText->setFixedHeight(72);
    column->addWidget(MemoText);

    suiFontComboBoxFont = new QComboBox(this);
    suiFontComboBoxFont->setObjectName("suiFontComboBoxFont");
    suiFontComboBoxFont->setItemDelegate(new TFontItemDelegate(suiFontComboBoxFont));
    suiFontComboBoxFont->setMaxVisibleItems(16);
    column->addWidget(suiFontComboBoxFont);

    // size, style and line alignment in one row
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    suiComboBoxSize = new QComboBox(this);
    suiComboBoxSize->setObjectName("suiComboBoxSize");
    suiComboBoxSize->setEditable(true);
    suiComboBoxSize->setInsertPolicy(QComboBox::NoInsert);
    for (const char* s : kSizes) suiComboBoxSize->addItem(s);
    suiComboBoxSize->setCurrentIndex(-1);
    suiComboBoxSize->setEditText(QString());
    suiComboBoxSize->setFixedWidth(64);
    suiComboBoxSize->lineEdit()->installEventFilter(this);
    row->addWidget(suiComboBoxSize);
    row->addSpacing(6);
    auto tool = [&](const char* name, const QIcon& icon) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setIcon(icon);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setFixedSize(26, 26);
        row->addWidget(b);
        return b;
    };
    SpeedButtonBold = tool("SpeedButtonBold", LetterIcon("B", true, false, false));
    SpeedButtonItalic = tool("SpeedButtonItalic", LetterIcon("I", false, true, false));
    SpeedButtonULine = tool("SpeedButtonULine", LetterIcon("U", false, false, true));
    row->addSpacing(6);
    BitBtnLeft = tool("BitBtnLeft", AlignIcon(0));
    BitBtnCenter = tool("BitBtnCenter", AlignIcon(1));
    BitBtnRight = tool("BitBtnRight", AlignIcon(2));
    for (QToolButton* b : {BitBtnLeft, BitBtnCenter, BitBtnRight}) b->setAutoExclusive(true);
    BitBtnLeft->setChecked(true);
    row->addStretch(1);
    column->addLayout(row);

    // colour, insert and modify
    row = new QHBoxLayout;
    suiColorBoxColor = new TTextColorBox(this);
    suiColorBoxColor->setObjectName("suiColorBoxColor");
    ImageButtonInsertText = new QPushButton(this);
    ImageButtonInsertText->setObjectName("ImageButtonInsertText");
    ImageButtonModText = new QPushButton(this);
    ImageButtonModText->setObjectName("ImageButtonModText");
    row->addWidget(suiColorBoxColor, 1);
    row->addWidget(ImageButtonInsertText);
    row->addWidget(ImageButtonModText);
    column->addLayout(row);

    // place on the page, shadow, anti-alias level
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    auto label = [&](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        return l;
    };
    auto combo = [&](const char* name, int items) {
        auto* c = new QComboBox(this);
        c->setObjectName(name);
        for (int i = 0; i < items; ++i) c->addItem(QString());
        return c;
    };
    LabelHorizontal = label("LabelHorizontal");
    suiComboBoxHorizontal = combo("suiComboBoxHorizontal", 4);
    suiComboBoxHorizontal->setCurrentIndex(1);
    LabelVertical = label("LabelVertical");
    suiComboBoxVertical = combo("suiComboBoxVertical", 4);
    suiComboBoxVertical->setCurrentIndex(1);
    LabelAALevel = label("LabelAALevel");
    ComboBoxAALevel = new QComboBox(this);
    ComboBoxAALevel->setObjectName("ComboBoxAALevel");
    for (const char* s : {"0", "1", "2", "3", "4"}) ComboBoxAALevel->addItem(s);
    ComboBoxAALevel->setCurrentIndex(4);
    CheckBoxShadow = new QCheckBox(this);
    CheckBoxShadow->setObjectName("CheckBoxShadow");
    grid->addWidget(LabelHorizontal, 0, 0);
    grid->addWidget(suiComboBoxHorizontal, 0, 1);
    grid->addWidget(LabelVertical, 1, 0);
    grid->addWidget(suiComboBoxVertical, 1, 1);
    grid->addWidget(LabelAALevel, 2, 0);
    grid->addWidget(ComboBoxAALevel, 2, 1);
    grid->addWidget(CheckBoxShadow, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    column->addLayout(grid);

    // glow
    CheckBoxHalation = new QCheckBox(this);
    CheckBoxHalation->setObjectName("CheckBoxHalation");
    column->addWidget(CheckBoxHalation);
    PanelHalation = new QWidget(this);
    PanelHalation->setObjectName("PanelHalation");
    auto* glow = new QGridLayout(PanelHalation);
    glow->setContentsMargins(18, 0, 0, 0);
    glow->setVerticalSpacing(4);
    LabelHalationColor = label("LabelHalationColor");
    LabelHalationColor->setParent(PanelHalation);
    suiColorBoxHalationColor = new TTextColorBox(PanelHalation);
    suiColorBoxHalationColor->setObjectName("suiColorBoxHalationColor");
    LabelHalationValue = label("LabelHalationValue");
    LabelHalationValue->setParent(PanelHalation);
    TrackBarHalation = new QSlider(Qt::Horizontal, PanelHalation);
    TrackBarHalation->setObjectName("TrackBarHalation");
    TrackBarHalation->setRange(1, 100);
    TrackBarHalation->setValue(10);
    glow->addWidget(LabelHalationColor, 0, 0);
    glow->addWidget(suiColorBoxHalationColor, 0, 1);
    glow->addWidget(LabelHalationValue, 1, 0);
    glow->addWidget(TrackBarHalation, 1, 1);
    glow->setColumnStretch(1, 1);
    column->addWidget(PanelHalation);

    CheckBoxTexture = new QCheckBox(this);
    CheckBoxTexture->setObjectName("CheckBoxTexture");
    column->addWidget(CheckBoxTexture);
    column->addStretch(1);

    // start-up state: white text on black, the default face chosen
    FillFontList();
    suiColorBoxColor->SetColor(0xFFFFFF);
    suiColorBoxHalationColor->SetColor(0xFFFFFF);
    ShowMemoColor(0xFFFFFF);
    ApplyLanguage();

    connect(MemoText, &QTextEdit::textChanged, this, [this] { MemoTextChange(); });
    connect(suiFontComboBoxFont, &QComboBox::activated, this, [this] { suiFontComboBoxFontChange(); });
    connect(suiComboBoxSize, &QComboBox::currentTextChanged, this, [this] { suiComboBoxSizeChange(); });
    connect(suiColorBoxColor, &TTextColorBox::ColorChanged, this, [this] { suiColorBoxColorChange(); });
    connect(SpeedButtonBold, &QToolButton::clicked, this, [this] { SpeedButtonBoldClick(); });
    connect(SpeedButtonItalic, &QToolButton::clicked, this, [this] { SpeedButtonItalicClick(); });
    connect(SpeedButtonULine, &QToolButton::clicked, this, [this] { SpeedButtonULineClick(); });
    connect(BitBtnLeft, &QToolButton::clicked, this, [this] { BitBtnLeftClick(); });
    connect(BitBtnCenter, &QToolButton::clicked, this, [this] { BitBtnCenterClick(); });
    connect(BitBtnRight, &QToolButton::clicked, this, [this] { BitBtnRightClick(); });
    connect(ImageButtonInsertText, &QPushButton::clicked, this, [this] { suiButtonInsertTextClick(); });
    connect(ImageButtonModText, &QPushButton::clicked, this, [this] { suiButtonModTextClick(); });
    connect(suiComboBoxHorizontal, &QComboBox::currentIndexChanged, this,
            [this] { suiComboBoxHorizontalChange(); });
    connect(suiComboBoxVertical, &QComboBox::currentIndexChanged, this,
            [this] { suiComboBoxVerticalChange(); });
    connect(CheckBoxShadow, &QCheckBox::clicked, this, [this] { CheckBoxShadowClick(); });
    connect(CheckBoxHalation, &QCheckBox::clicked, this, [this] { CheckBoxHalationClick(); });
    connect(CheckBoxTexture, &QCheckBox::clicked, this, [this] { CheckBoxTextureClick(); });
    connect(suiColorBoxHalationColor, &TTextColorBox::ColorChanged, this,
            [this] { suiColorBoxHalationColorChange(); });
    connect(TrackBarHalation, &QSlider::valueChanged, this, [this] { TrackBarHalationChange(); });
}

// ---- Language ----

void TTextPage::ApplyLanguage() {
    auto t = [](const char* key) { return QString::fromStdString(Lang(key)); };
    LabelInputText->setText(t("Please Input Text"));
    LabelAALevel->setText(t("Antialias Level"));
    ImageButtonInsertText->setText(t("&Insert Text"));
    ImageButtonModText->setText(t("&Modify Text"));
    LabelHorizontal->setText(t("Horizontal"));
    LabelVertical->setText(t("Vertical"));
    CheckBoxShadow->setText(t("Shadow"));
    CheckBoxHalation->setText(t("Halation"));
    LabelHalationColor->setText(t("Color"));
    LabelHalationValue->setText(t("Value"));
    CheckBoxTexture->setText(t("Texture"));
    SpeedButtonBold->setToolTip(t("Bold"));
    SpeedButtonItalic->setToolTip(t("Italic"));
    SpeedButtonULine->setToolTip(t("Underline"));
    BitBtnLeft->setToolTip(t("Align Left"));
    BitBtnCenter->setToolTip(t("Align Center"));
    BitBtnRight->setToolTip(t("Align Right"));
    const char* horz[] = {"Left", "Center", "Right", "Custom"};
    const char* vert[] = {"Top", "Middle", "Bottom", "Custom"};
    for (int i = 0; i < 4; ++i) {
        suiComboBoxHorizontal->setItemText(i, t(horz[i]));
        suiComboBoxVertical->setItemText(i, t(vert[i]));
    }
    suiColorBoxColor->ApplyLanguage();
    suiColorBoxHalationColor->ApplyLanguage();
}

// ---- State ----

TTextPageState TTextPage::State() const {
    TTextPageState s;
    s.Text = WithCrLf(MemoText->toPlainText());
    s.FontName =
        suiFontComboBoxFont->currentIndex() >= 0 ? suiFontComboBoxFont->currentText().toStdString() : "";
    s.SizeText = suiComboBoxSize->currentText().toStdString();
    s.Color = suiColorBoxColor->Color();
    s.Bold = SpeedButtonBold->isChecked();
    s.Italic = SpeedButtonItalic->isChecked();
    s.Underline = SpeedButtonULine->isChecked();
    s.LineAlign = BitBtnCenter->isChecked() ? 1 : BitBtnRight->isChecked() ? 2 : 0;
    s.HorzAlign = suiComboBoxHorizontal->currentIndex();
    s.VertAlign = suiComboBoxVertical->currentIndex();
    s.Shadow = CheckBoxShadow->isChecked();
    s.Halation = CheckBoxHalation->isChecked();
    s.HalationColor = suiColorBoxHalationColor->Color();
    s.HalationSize = TrackBarHalation->value();
    s.Texture = CheckBoxTexture->isChecked();
    s.TextureFile = SelectedTexture ? SelectedTexture() : std::string();
    s.AALevel = ComboBoxAALevel->currentIndex();
    return s;
}

// ---- Running the commands ----

void TTextPage::Run(const std::function<void()>& command) {
    if (RunCommand)
        RunCommand(command);
    else
        command();
}

void TTextPage::Follow(TTextResult result) {
    if (result == TTextResult::FocusSizeBox) suiComboBoxSize->setFocus();
    if (result == TTextResult::FocusAALevel) ComboBoxAALevel->setFocus();
}

void TTextPage::Modify(TTextSource source) {
    if (!TextSyncEnabled || !Commands) return;
    Run([&] { Follow(Commands->RenderModifiedText(State(), source)); });
}

void TTextPage::Insert(TTextSource source) {
    TextSyncEnabled = true;
    if (!Commands) return;
    Run([&] { Follow(Commands->RenderNewText(State(), source)); });
}

// ---- Fonts ----

void TTextPage::FillFontList() {
    if (FFontsListed) return;
    FFontsListed = true;
    QSignalBlocker quiet(suiFontComboBoxFont);
    suiFontComboBoxFont->addItems(QFontDatabase::families());
    suiFontComboBoxFont->setCurrentIndex(-1);
    SelectDefaultFont();
    ShowMemoFont();
}

// "Arial" when it is installed under that name, else the face the font
// configuration puts in its place.
void TTextPage::SelectDefaultFont() {
    if (suiFontComboBoxFont->currentIndex() >= 0 && !suiFontComboBoxFont->currentText().isEmpty()) return;
    QSignalBlocker quiet(suiFontComboBoxFont);
    int i = suiFontComboBoxFont->findText("Arial");
    if (i < 0) i = suiFontComboBoxFont->findText(QFontInfo(QFont("Arial")).family());
    suiFontComboBoxFont->setCurrentIndex(i);
    if (i >= 0) Memo1Font.setFamily(suiFontComboBoxFont->itemText(i));
}

// The text box shows the chosen face and style at its own display size.
void TTextPage::ShowMemoFont() {
    QFont f = MemoText->font();
    if (suiFontComboBoxFont->currentIndex() >= 0) f.setFamily(suiFontComboBoxFont->currentText());
    f.setPointSize(9);
    f.setBold(SpeedButtonBold->isChecked());
    f.setItalic(SpeedButtonItalic->isChecked());
    f.setUnderline(SpeedButtonULine->isChecked());
    MemoText->setFont(f);
    Memo1Font.setFamily(f.family());
    Memo1Font.setBold(f.bold());
    Memo1Font.setItalic(f.italic());
    Memo1Font.setUnderline(f.underline());
}

// A light colour (red, green and blue all at 235 or more) is shown on black.
void TTextPage::ShowMemoColor(TColor color) {
    const TColor32 c = ToColor32(color);
    const bool light = RedOf(c) >= 235 && GreenOf(c) >= 235 && BlueOf(c) >= 235;
    QPalette pal = MemoText->palette();
    pal.setColor(QPalette::Text, QColor(RedOf(c), GreenOf(c), BlueOf(c)));
    pal.setColor(QPalette::Base, light ? Qt::black : Qt::white);
    MemoText->setPalette(pal);
}

// ---- Handlers ----

void TTextPage::ImageTextClick() {
    FillFontList();
    if (suiComboBoxSize->currentText().isEmpty()) {
        QSignalBlocker quiet(suiComboBoxSize);
        suiComboBoxSize->setEditText("100");
    }
    SelectDefaultFont();
    ShowMemoFont();
    const QFont f = MemoText->font();
    SpeedButtonBold->setChecked(f.bold());
    SpeedButtonItalic->setChecked(f.italic());
    SpeedButtonULine->setChecked(f.underline());
    MemoText->setFocus();
}

void TTextPage::MemoTextChange() {
    if (!TextSyncEnabled || suiFontComboBoxFont->currentIndex() < 0 ||
        suiComboBoxSize->currentText().isEmpty())
        return;
    if (Commands && Commands->SelectedText())
        Modify(TTextSource::TextBox);
    else
        Insert(TTextSource::TextBox);
    MemoText->setFocus();
}

void TTextPage::suiButtonInsertTextClick() {
    Insert(TTextSource::Other);
}

void TTextPage::suiButtonModTextClick() {
    Modify(TTextSource::Other);
}

void TTextPage::suiFontComboBoxFontChange() {
    {
        QSignalBlocker quiet(MemoText);
        ShowMemoFont();
    }
    Modify(TTextSource::Other);
    suiFontComboBoxFont->setFocus();
}

void TTextPage::suiComboBoxSizeChange() {
    Modify(TTextSource::SizeBox);
}

void TTextPage::suiColorBoxColorChange() {
    TextSyncEnabled = false;
    ShowMemoColor(suiColorBoxColor->Color());
    if (!suiComboBoxSize->currentText().isEmpty()) suiColorBoxColor->setFocus();
    TextSyncEnabled = true;
    Modify(TTextSource::Other);
}

void TTextPage::StyleClick(QToolButton*) {
    {
        QSignalBlocker quiet(MemoText);
        ShowMemoFont();
    }
    Modify(TTextSource::Other);
}

void TTextPage::SpeedButtonBoldClick() {
    StyleClick(SpeedButtonBold);
}
void TTextPage::SpeedButtonItalicClick() {
    StyleClick(SpeedButtonItalic);
}
void TTextPage::SpeedButtonULineClick() {
    StyleClick(SpeedButtonULine);
}

void TTextPage::AlignClick(int align) {
    TextSyncEnabled = false;
    QTextOption option = MemoText->document()->defaultTextOption();
    option.setAlignment(align == 1 ? Qt::AlignHCenter : align == 2 ? Qt::AlignRight : Qt::AlignLeft);
    MemoText->document()->setDefaultTextOption(option);
    MemoText->setFocus();
    TextSyncEnabled = true;
    Modify(TTextSource::Other);
}

void TTextPage::BitBtnLeftClick() {
    AlignClick(0);
}
void TTextPage::BitBtnCenterClick() {
    AlignClick(1);
}
void TTextPage::BitBtnRightClick() {
    AlignClick(2);
}

void TTextPage::suiComboBoxHorizontalChange() {
    if (Commands) Run([this] { Commands->PositionBoxChanged(true, suiComboBoxHorizontal->currentIndex()); });
}

void TTextPage::suiComboBoxVerticalChange() {
    if (Commands) Run([this] { Commands->PositionBoxChanged(false, suiComboBoxVertical->currentIndex()); });
}

void TTextPage::CheckBoxShadowClick() {
    if (!Commands) return;
    if (CheckBoxShadow->isChecked()) {
        Run([this] {
            if (ShadowCommand)
                ShadowCommand();
            else
                Commands->ApplyTextShadow();
        });
        if (const TNewRotLayer* layer = Commands->SelectedText()) CheckBoxShadow->setChecked(layer->ShadowOn);
    } else {
        Run([this] { Commands->ShadowBoxUnchecked(); });
    }
}

void TTextPage::CheckBoxHalationClick() {
    Modify(TTextSource::Other);
}
void TTextPage::CheckBoxTextureClick() {
    Modify(TTextSource::Other);
}

void TTextPage::suiColorBoxHalationColorChange() {
    if (CheckBoxHalation->isChecked()) Modify(TTextSource::Other);
}

void TTextPage::TrackBarHalationChange() {
    if (CheckBoxHalation->isChecked()) Modify(TTextSource::GlowSlider);
}

void TTextPage::PicFileListTextureClick() {
    if (!CheckBoxTexture->isChecked()) return;
    Modify(TTextSource::Other);
    if (FocusTextureList) FocusTextureList();
}

// ---- Filling from a layer ----

void TTextPage::FillTextPage(const TNewRotLayer& layer) {
    FillFontList();
    TextSyncEnabled = false;
    if (Commands) Commands->EndTyping();
    {
        QSignalBlocker quiet(MemoText);
        MemoText->setPlainText(WithoutCr(layer.Text));
    }
    if (layer.Font) {
        const QFont& f = layer.Font->Font;
        {
            QSignalBlocker quiet(suiFontComboBoxFont);
            suiFontComboBoxFont->setCurrentIndex(suiFontComboBoxFont->findText(f.family()));
        }
        {
            QSignalBlocker quiet(suiComboBoxSize);
            suiComboBoxSize->setEditText(QString::number(PixelSizeOf(f)));
        }
        SpeedButtonBold->setChecked(f.bold());
        SpeedButtonItalic->setChecked(f.italic());
        SpeedButtonULine->setChecked(f.underline());
        const TColor color = ToWinColor(layer.Font->Color);
        suiColorBoxColor->SetColor(color);
        ShowMemoColor(color);
        QSignalBlocker quiet(MemoText);
        ShowMemoFont();
        // a face that is not installed still shows its name in the text box
        if (suiFontComboBoxFont->currentIndex() < 0) {
            QFont shown = MemoText->font();
            shown.setFamily(f.family());
            MemoText->setFont(shown);
            Memo1Font.setFamily(f.family());
        }
    }
    if (layer.AALevel >= 0) {
        QSignalBlocker quiet(ComboBoxAALevel);
        ComboBoxAALevel->setCurrentIndex(layer.AALevel <= 4 ? layer.AALevel : -1);
    }
    if (const TTextStyle* style = layer.TextStyle.get()) {
        CheckBoxShadow->setChecked(layer.ShadowOn);
        CheckBoxHalation->setChecked(style->Halation);
        suiColorBoxHalationColor->SetColor(style->HalationColor);
        {
            QSignalBlocker quiet(TrackBarHalation);
            TrackBarHalation->setValue(style->HalationSize);
        }
        const bool texture = !style->TextureFile.empty() && FileExists(style->TextureFile) && SelectTexture &&
                             SelectTexture(style->TextureFile);
        CheckBoxTexture->setChecked(texture);
        ShowTextAlignment(style->HorzAlign <= 3 ? style->HorzAlign : -1,
                          style->VertAlign <= 3 ? style->VertAlign : -1);
    }
    TextSyncEnabled = true;
}

void TTextPage::ShowTextAlignment(int horz, int vert) {
    QSignalBlocker quietH(suiComboBoxHorizontal), quietV(suiComboBoxVertical);
    if (horz >= 0 && horz <= 3) suiComboBoxHorizontal->setCurrentIndex(horz);
    if (vert >= 0 && vert <= 3) suiComboBoxVertical->setCurrentIndex(vert);
}

// ---- Keys of the size box ----

// A typed character other than a digit is refused, Backspace included; the
// Delete key types no character and works.
bool TTextPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == suiComboBoxSize->lineEdit() && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        const QString text = k->text();
        const bool focusKey = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
        if (!text.isEmpty() && !focusKey && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
            (text.size() != 1 || !text[0].isDigit() || text[0].unicode() > '9'))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TTextPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FillFontList();
}
