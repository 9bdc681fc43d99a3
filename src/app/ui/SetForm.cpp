#include "app/ui/SetForm.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "engine/Errors.h"
#include "engine/PictureUtils.h"
#include "language/Language.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Units.h"
#include "platform/ui/ColorBox.h"

namespace {
QString L(const char* key) {
    return QString::fromStdString(Lang(key));
}
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr int kPreviewWidth = 118, kPreviewHeight = 112;

QRadioButton* Radio(QWidget* parent, const char* name, const char* key, int x, int y, int w = 110) {
    auto* r = new QRadioButton(L(key), parent);
    r->setObjectName(name);
    r->setGeometry(x, y, w, 24);
    return r;
}

QComboBox* UnitList(QWidget* parent, const char* name, int x, int y) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems({L("Pixel"), L("Inch"), L("Cm")});
    c->setGeometry(x, y, 90, 26);
    return c;
}
} // namespace

TSetForm::TSetForm(const TCollageSettings& settings, const std::string& resourceRoot, QWidget* parent)
    : QDialog(parent), Settings(settings), ResourceRoot(resourceRoot) {
    setObjectName("SetForm");
    setWindowTitle(L("Collage Setting"));
    setFixedSize(486, 446);

    // ---- size ----
    auto* size = new QGroupBox(L("Preset collage size"), this);
    size->setGeometry(12, 10, 462, 150);
    RBnPredefine = Radio(size, "RBnPredefine", "Predefine", 14, 26, 130);
    ComboBoxDefineSize = new QComboBox(size);
    ComboBoxDefineSize->setObjectName("ComboBoxDefineSize");
    for (const TPredefinedSize& p : kPredefinedSizes)
        ComboBoxDefineSize->addItem(Q((*p.Caption ? Lang(p.Caption) : std::string()) + p.Note));
    ComboBoxDefineSize->setGeometry(150, 25, 220, 26);
    RadioBtnCustomize = Radio(size, "RadioBtnCustomize", "Customize", 14, 60, 130);
    auto* sizeGroup = new QButtonGroup(this);
    sizeGroup->addButton(RBnPredefine);
    sizeGroup->addButton(RadioBtnCustomize);
    auto* widthLabel = new QLabel(Q(Lang("Width") + ":"), size);
    widthLabel->setGeometry(40, 90, 100, 26);
    EditWidth = new QLineEdit(size);
    EditWidth->setObjectName("EditWidth");
    EditWidth->setMaxLength(7);
    EditWidth->setGeometry(150, 90, 110, 26);
    ComboBoxWidthUnit = UnitList(size, "ComboBoxWidthUnit", 270, 90);
    auto* heightLabel = new QLabel(Q(Lang("Height") + ":"), size);
    heightLabel->setGeometry(40, 118, 100, 26);
    EditHeight = new QLineEdit(size);
    EditHeight->setObjectName("EditHeight");
    EditHeight->setMaxLength(7);
    EditHeight->setGeometry(150, 118, 110, 26);
    ComboBoxHeightUnit = UnitList(size, "ComboBoxHeightUnit", 270, 118);
    EditWidth->installEventFilter(this);
    EditHeight->installEventFilter(this);

    // ---- orientation ----
    auto* orientation = new QGroupBox(L("Orientation"), this);
    orientation->setGeometry(12, 166, 462, 56);
    RBtnLandscape = Radio(orientation, "RBtnLandscape", "Landscape", 14, 24, 160);
    RBtnPortrait = Radio(orientation, "RBtnPortrait", "Portrait", 200, 24, 160);
    auto* orientationGroup = new QButtonGroup(this);
    orientationGroup->addButton(RBtnLandscape);
    orientationGroup->addButton(RBtnPortrait);

    // ---- background ----
    auto* background = new QGroupBox(L("Background"), this);
    background->setGeometry(12, 228, 462, 166);
    RBtnTransparent = Radio(background, "RBtnTransparent", "Transparent", 14, 26);
    RBtnColor = Radio(background, "RBtnColor", "Color", 14, 58);
    RBtnImage = Radio(background, "RBtnImage", "Image", 14, 90);
    auto* kindGroup = new QButtonGroup(this);
    for (QRadioButton* r : {RBtnTransparent, RBtnColor, RBtnImage}) kindGroup->addButton(r);
    ColorBoxBK = new TColorBox(TColorBox::Standard | TColorBox::Extended | TColorBox::Custom, background);
    ColorBoxBK->setObjectName("ColorBoxBK");
    ColorBoxBK->setGeometry(128, 57, 170, 26);
    ButtonLoadImage = new QPushButton(L("Load..."), background);
    ButtonLoadImage->setObjectName("ButtonLoadImage");
    ButtonLoadImage->setGeometry(128, 89, 90, 28);
    RBtnTile = Radio(background, "RBtnTile", "Tile", 40, 126, 80);
    RBtnCenter = Radio(background, "RBtnCenter", "Center", 124, 126, 86);
    RBtnStretch = Radio(background, "RBtnStretch", "Stretch", 214, 126, 86);
    auto* fillGroup = new QButtonGroup(this);
    for (QRadioButton* r : {RBtnTile, RBtnCenter, RBtnStretch}) fillGroup->addButton(r);
    ImageBK = new QLabel(background);
    ImageBK->setObjectName("ImageBK");
    ImageBK->setGeometry(322, 30, kPreviewWidth, kPreviewHeight);
    ImageBK->setFrameShape(QFrame::Box);
    ImageBK->setAlignment(Qt::AlignCenter);

    BtnOK = new QPushButton(L("&OK"), this);
    BtnOK->setObjectName("BtnOK");
    BtnOK->setGeometry(268, 404, 98, 32);
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton(L("&Cancel"), this);
    BtnCancel->setObjectName("BtnCancel");
    BtnCancel->setGeometry(376, 404, 98, 32);

    connect(RBnPredefine, &QRadioButton::clicked, this, [this] { RBnPredefineClick(); });
    connect(RadioBtnCustomize, &QRadioButton::clicked, this, [this] { RadioBtnCustomizeClick(); });
    connect(RBtnTransparent, &QRadioButton::clicked, this, [this] { RBtnTransparentClick(); });
    connect(RBtnColor, &QRadioButton::clicked, this, [this] { RBtnColorClick(); });
    connect(RBtnImage, &QRadioButton::clicked, this, [this] { RBtnImageClick(); });
    connect(ComboBoxWidthUnit, &QComboBox::currentIndexChanged, this, [this] { UnitChange(true); });
    connect(ComboBoxHeightUnit, &QComboBox::currentIndexChanged, this, [this] { UnitChange(false); });
    connect(ButtonLoadImage, &QPushButton::clicked, this, [this] { ButtonLoadImageClick(); });
    connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    FormShow();
}

// ---- Showing and the enabling rules ----

void TSetForm::FormShow() {
    const TCollageSettings& s = Settings;
    if (s.SizeType == 1) {
        RadioBtnCustomize->setChecked(true);
        RadioBtnCustomizeClick();
    } else {
        RBnPredefine->setChecked(true);
        ComboBoxDefineSize->setCurrentIndex(s.PredifineType < std::size(kPredefinedSizes) ? s.PredifineType
                                                                                          : -1);
        RBnPredefineClick();
    }
    (s.Orientation == 1 ? RBtnLandscape : RBtnPortrait)->setChecked(true);
    // the page colour is shown whatever the background, so that OK keeps it
    // (it is also the paper colour of border frames)
    ColorBoxBK->Select(s.BKColor);
    switch (s.BKType) {
    case 0:
        RBtnTransparent->setChecked(true);
        RBtnTransparentClick();
        break;
    case 1:
        RBtnColor->setChecked(true);
        RBtnColorClick();
        break;
    default:
        RBtnImage->setChecked(true);
        if (FileExists(s.BKImageFile)) LoadPreview(s.BKImageFile);
        RBtnImageClick();
        break;
    }
    (s.BKImageFillType == 0 ? RBtnTile : s.BKImageFillType == 1 ? RBtnCenter : RBtnStretch)->setChecked(true);
}

void TSetForm::RBnPredefineClick() {
    ComboBoxDefineSize->setEnabled(true);
    for (QWidget* w :
         std::initializer_list<QWidget*>{EditWidth, EditHeight, ComboBoxWidthUnit, ComboBoxHeightUnit})
        w->setEnabled(false);
}

void TSetForm::RadioBtnCustomizeClick() {
    ComboBoxDefineSize->setEnabled(false);
    for (QWidget* w :
         std::initializer_list<QWidget*>{EditWidth, EditHeight, ComboBoxWidthUnit, ComboBoxHeightUnit})
        w->setEnabled(true);
    TCollageSettings& s = Settings;
    if (s.WidthUnit > 2 || s.HeightUnit > 2) s.WidthUnit = s.HeightUnit = 0;
    {
        const QSignalBlocker a(ComboBoxWidthUnit), b(ComboBoxHeightUnit);
        ComboBoxWidthUnit->setCurrentIndex(s.WidthUnit);
        ComboBoxHeightUnit->setCurrentIndex(s.HeightUnit);
    }
    EditWidth->setText(Q(PixelsAsText(TLengthUnit(s.WidthUnit), s.Width)));
    EditHeight->setText(Q(PixelsAsText(TLengthUnit(s.HeightUnit), s.Height)));
}

void TSetForm::RBtnTransparentClick() {
    ColorBoxBK->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{ButtonLoadImage, RBtnTile, RBtnCenter, RBtnStretch})
        w->setEnabled(false);
}

void TSetForm::RBtnColorClick() {
    ColorBoxBK->setEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{ButtonLoadImage, RBtnTile, RBtnCenter, RBtnStretch})
        w->setEnabled(false);
}

void TSetForm::RBtnImageClick() {
    ColorBoxBK->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{ButtonLoadImage, RBtnTile, RBtnCenter, RBtnStretch})
        w->setEnabled(true);
}

// ---- Typing and units ----

bool TSetForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == EditWidth || watched == EditHeight) && event->type() == QEvent::KeyPress) {
        // only digits and the decimal point are typed, every other character
        // (backspace too) is dropped; keys that type nothing -- Delete, the
        // arrows, and the dialog's own keys -- work as usual
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Delete:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return QDialog::eventFilter(watched, event);
        default:
            break;
        }
        const QString text = key->text();
        const bool allowed = text.size() == 1 && ((text[0] >= '0' && text[0] <= '9') || text[0] == '.');
        if (!text.isEmpty() && !allowed) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TSetForm::UnitChange(bool widthList) {
    QComboBox* list = widthList ? ComboBoxWidthUnit : ComboBoxHeightUnit;
    QComboBox* other = widthList ? ComboBoxHeightUnit : ComboBoxWidthUnit;
    QLineEdit* edit = widthList ? EditWidth : EditHeight;
    QLineEdit* otherEdit = widthList ? EditHeight : EditWidth;
    uint8_t& stored = widthList ? Settings.WidthUnit : Settings.HeightUnit;
    const int unit = list->currentIndex();
    if (unit < 0 || unit == stored) return;
    const auto value = ParseLength(edit->text().toStdString());
    if (!value) {
        ShowError(Lang(widthList ? "Width must be float." : "Height must be float."));
        edit->setFocus();
        const QSignalBlocker block(list);
        list->setCurrentIndex(stored);
        return;
    }
    const TLengthUnit from = TLengthUnit(stored), to = TLengthUnit(unit);
    edit->setText(Q(PixelsAsText(to, ToPixels(from, *value))));
    // the two units always move together
    if (const auto otherValue = ParseLength(otherEdit->text().toStdString()))
        otherEdit->setText(Q(PixelsAsText(to, ToPixels(from, *otherValue))));
    Settings.WidthUnit = Settings.HeightUnit = uint8_t(unit);
    const QSignalBlocker block(other);
    other->setCurrentIndex(unit);
}

// ---- Background picture ----

void TSetForm::ButtonLoadImageClick() {
    if (FPictureFolder.empty()) FPictureFolder = ResourceRoot + "background/";
    TFileDialogRequest req;
    req.Filter =
        "All (*.gif;*.png;*.jpg;*.jpeg;*.bmp)|*.gif;*.png;*.jpg;*.jpeg;*.bmp|GIF Image (*.gif)|*.gif|"
        "Portable Network Graphics (*.png)|*.png|GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg|"
        "JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";
    req.InitialDir = FPictureFolder;
    const TFileDialogResult chosen = DialogService().OpenFile(req);
    if (chosen.FileName.empty()) return;
    FPictureFolder = ExtractFileDir(chosen.FileName);
    Settings.BKImageFile = chosen.FileName;
    LoadPreview(chosen.FileName);
}

void TSetForm::LoadPreview(const std::string& path) {
    ImageBK->clear();
    TBitmap32 picture;
    try {
        if (!LoadPicture32(path, picture) || picture.Empty()) return; // the loader said why
    } catch (const EUserError& e) {
        ShowError(e.what());
        return;
    }
    // centred, shrunk to fit and never enlarged, over the box's own colour
    int w = kPreviewWidth, h = kPreviewHeight;
    FitInside(picture.Width(), picture.Height(), w, h);
    TBitmap32 preview{kPreviewWidth, kPreviewHeight};
    preview.Clear(palette().color(QPalette::Window).rgb() | 0xFF000000u);
    picture.DrawMode = TDrawMode::Blend;
    picture.Resampler = TResamplerKind::Linear;
    const int x = (kPreviewWidth - w) / 2, y = (kPreviewHeight - h) / 2;
    preview.StretchDraw({x, y, x + w, y + h}, picture);
    const QImage image(reinterpret_cast<const uchar*>(preview.Bits()), preview.Width(), preview.Height(),
                       preview.Width() * 4, QImage::Format_RGB32);
    ImageBK->setPixmap(QPixmap::fromImage(image.copy()));
}

// ---- OK ----

TPageSettingsInput TSetForm::Input() const {
    TPageSettingsInput in;
    in.Predefined = RBnPredefine->isChecked();
    in.PredefinedIndex = ComboBoxDefineSize->currentIndex();
    in.WidthText = EditWidth->text().toStdString();
    in.HeightText = EditHeight->text().toStdString();
    in.WidthUnit = std::max(ComboBoxWidthUnit->currentIndex(), 0);
    in.HeightUnit = std::max(ComboBoxHeightUnit->currentIndex(), 0);
    in.Landscape = RBtnLandscape->isChecked();
    in.BKType = RBtnImage->isChecked() ? 2 : RBtnColor->isChecked() ? 1 : 0;
    in.BKColor = ColorBoxBK->Selected();
    in.BKImageFile = Settings.BKImageFile;
    in.FillType = RBtnTile->isChecked() ? 0 : RBtnCenter->isChecked() ? 1 : 2;
    return in;
}

void TSetForm::BtnOKClick() {
    const TPageInputCheck check = CheckPageSettingsInput(Input(), Settings);
    if (check.Ok) {
        Accepted = true;
        accept();
        return;
    }
    if (!check.Message.empty()) {
        if (check.Error)
            ShowError(Lang(check.Message));
        else
            ShowInfo(Lang(check.Message));
    }
    switch (check.Field) {
    case TPageInputField::SizeList:
        ComboBoxDefineSize->showPopup();
        break;
    case TPageInputField::Width:
        EditWidth->setFocus();
        break;
    case TPageInputField::Height:
        EditHeight->setFocus();
        break;
    default:
        break;
    }
}
