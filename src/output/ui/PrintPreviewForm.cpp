#include "output/ui/PrintPreviewForm.h"

#include <algorithm>

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>

#include "language/Language.h"
#include "output/Printing.h"
#include "platform/Messages.h"

namespace {
QString L(const char* key) {
    return QString::fromStdString(Lang(key));
}

constexpr int kPanelSize = 257;

QComboBox* UnitList(QWidget* parent, const char* name) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems({L("Pixel"), L("Inch"), L("centimeter"), L("millimeter")});
    return c;
}

QLineEdit* NumberEdit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setFixedWidth(80);
    return e;
}
} // namespace

void TPaperMiniature::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!PictureRect.isEmpty() && !Picture.isNull()) {
        p.setClipRect(rect().adjusted(1, 1, -1, -1));
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(PictureRect, Picture);
    }
}

TPrintPreviewForm::TPrintPreviewForm(const TPrintSettings& settings, const QImage& picture, QPrinter& printer,
                                     TPrintDialogHooks dialogs,
                                     std::function<void(const TDeviceRect&)> printPlaced, QWidget* parent)
    : QDialog(parent), Model(settings, {picture.width(), picture.height()},
                             PageInScreenPixels(MetricsOf(printer), PixelsPerInch())),
      FPrinter(printer), FDialogs(std::move(dialogs)), FPrintPlaced(std::move(printPlaced)) {
    setObjectName("PrintPreviewForm");
    setWindowTitle(L("Print"));

    // ---- the miniature ----
    PanelPreview = new QFrame(this);
    PanelPreview->setObjectName("PanelPreview");
    PanelPreview->setFixedSize(kPanelSize, kPanelSize);
    PanelPreview->setFrameShape(QFrame::StyledPanel);
    PanelPreview->setAutoFillBackground(true);
    QPalette grey = PanelPreview->palette();
    grey.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    PanelPreview->setPalette(grey);
    ImagePreview = new TPaperMiniature(PanelPreview);
    ImagePreview->setObjectName("ImagePreview");
    // a small copy is enough for a picture of at most the panel's size
    ImagePreview->Picture =
        picture.scaled(2 * kPanelSize, 2 * kPanelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);

    // ---- position ----
    auto* position = new QGroupBox(L("Position"), this);
    auto* pg = new QGridLayout(position);
    EditTop = NumberEdit(position, "EditTop");
    EditLeft = NumberEdit(position, "EditLeft");
    ComboBoxTopUnit = UnitList(position, "ComboBoxTopUnit");
    ComboBoxLeftUnit = UnitList(position, "ComboBoxLeftUnit");
    CheckBoxCenter = new QCheckBox(L("Center Image"), position);
    CheckBoxCenter->setObjectName("CheckBoxCenter");
    // one field a row, so that the unit lists show their longest unit in
    // every language; the check box beside the first field it governs
    pg->addWidget(new QLabel(L("Top:"), position), 0, 0);
    pg->addWidget(EditTop, 0, 1);
    pg->addWidget(ComboBoxTopUnit, 0, 2);
    pg->addWidget(CheckBoxCenter, 0, 3);
    pg->addWidget(new QLabel(L("Left:"), position), 1, 0);
    pg->addWidget(EditLeft, 1, 1);
    pg->addWidget(ComboBoxLeftUnit, 1, 2);
    pg->setColumnStretch(3, 1);

    // ---- printed size ----
    auto* size = new QGroupBox(L("Print Size"), this);
    auto* sg = new QGridLayout(size);
    EditScale = NumberEdit(size, "EditScale");
    CheckBoxFitPage = new QCheckBox(L("Scale to Fit Page"), size);
    CheckBoxFitPage->setObjectName("CheckBoxFitPage");
    EditHeight = NumberEdit(size, "EditHeight");
    EditWidth = NumberEdit(size, "EditWidth");
    ComboBoxHeightUnit = UnitList(size, "ComboBoxHeightUnit");
    ComboBoxWidthUnit = UnitList(size, "ComboBoxWidthUnit");
    sg->addWidget(new QLabel(L("Scale:"), size), 0, 0);
    sg->addWidget(EditScale, 0, 1);
    sg->addWidget(new QLabel("%", size), 0, 2);
    sg->addWidget(CheckBoxFitPage, 0, 3);
    sg->addWidget(new QLabel(L("Height:"), size), 1, 0);
    sg->addWidget(EditHeight, 1, 1);
    sg->addWidget(ComboBoxHeightUnit, 1, 2);
    sg->addWidget(new QLabel(L("Width:"), size), 2, 0);
    sg->addWidget(EditWidth, 2, 1);
    sg->addWidget(ComboBoxWidthUnit, 2, 2);
    sg->setColumnStretch(3, 1);
    // the two groups' fields and check boxes in the same columns
    int labels = 0;
    for (QGridLayout* grid : {pg, sg})
        for (int row = 0; row < grid->rowCount(); ++row)
            if (QLayoutItem* item = grid->itemAtPosition(row, 0))
                labels = std::max(labels, item->sizeHint().width());
    for (QGridLayout* grid : {pg, sg}) grid->setColumnMinimumWidth(0, labels);

    // ---- buttons ----
    auto button = [this](const char* name, const char* key) {
        auto* b = new QPushButton(L(key), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setMinimumWidth(100);
        return b;
    };
    ButtonPrint = button("ButtonPrint", "&Print...");
    ButtonPageSet = button("ButtonPageSet", "&Page Settings");
    ButtonOK = button("ButtonOK", "&OK");
    ButtonCancel = button("ButtonCancel", "&Cancel");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonPrint);
    buttons->addWidget(ButtonPageSet);
    buttons->addStretch(1);
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);

    auto* right = new QVBoxLayout;
    right->addWidget(position);
    right->addWidget(size);
    right->addStretch(1);
    right->addLayout(buttons);
    auto* all = new QHBoxLayout(this);
    all->setContentsMargins(12, 12, 12, 12);
    all->setSpacing(14);
    all->addWidget(PanelPreview, 0, Qt::AlignTop);
    all->addLayout(right, 1);
    setFixedSize(731, 316);

    // ---- reactions ----
    connect(EditTop, &QLineEdit::textEdited, this,
            [this] { Edited(EditTop, Model.Top.Text, &TPrintPreviewModel::TopChange); });
    connect(EditLeft, &QLineEdit::textEdited, this,
            [this] { Edited(EditLeft, Model.Left.Text, &TPrintPreviewModel::LeftChange); });
    connect(EditHeight, &QLineEdit::textEdited, this,
            [this] { Edited(EditHeight, Model.Height.Text, &TPrintPreviewModel::HeightChange); });
    connect(EditWidth, &QLineEdit::textEdited, this,
            [this] { Edited(EditWidth, Model.Width.Text, &TPrintPreviewModel::WidthChange); });
    connect(EditScale, &QLineEdit::textEdited, this,
            [this] { Edited(EditScale, Model.Scale, &TPrintPreviewModel::ScaleChange); });
    connect(ComboBoxTopUnit, &QComboBox::currentIndexChanged, this,
            [this] { UnitChosen(TPrintField::Top, ComboBoxTopUnit, EditTop); });
    connect(ComboBoxLeftUnit, &QComboBox::currentIndexChanged, this,
            [this] { UnitChosen(TPrintField::Left, ComboBoxLeftUnit, EditLeft); });
    connect(ComboBoxHeightUnit, &QComboBox::currentIndexChanged, this,
            [this] { UnitChosen(TPrintField::Height, ComboBoxHeightUnit, EditHeight); });
    connect(ComboBoxWidthUnit, &QComboBox::currentIndexChanged, this,
            [this] { UnitChosen(TPrintField::Width, ComboBoxWidthUnit, EditWidth); });
    connect(CheckBoxFitPage, &QCheckBox::clicked, this, [this](bool checked) {
        RunGuarded([&] { Model.FitPageClick(checked); });
        ShowModel();
    });
    connect(CheckBoxCenter, &QCheckBox::clicked, this, [this](bool checked) {
        RunGuarded([&] { Model.CenterClick(checked); });
        ShowModel();
    });
    connect(ButtonPrint, &QPushButton::clicked, this, [this] { RunGuarded([this] { ButtonPrintClick(); }); });
    connect(ButtonOK, &QPushButton::clicked, this, [this] { RunGuarded([this] { ButtonOKClick(); }); });
    connect(ButtonPageSet, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { ButtonPageSetClick(); }); });
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

    Model.Show();
    ShowModel();
}

// ---- Between the model and the controls ----

void TPrintPreviewForm::ShowModel() {
    // writing a field does not count as the user's edit (textEdited only
    // follows typing), and the lists are held still while they are set
    const auto text = [](QLineEdit* e, const std::string& s) {
        const QString q = QString::fromStdString(s);
        if (e->text() != q) e->setText(q);
    };
    const auto unit = [](QComboBox* c, const TPrintEdit& edit) {
        const QSignalBlocker hold(c);
        c->setCurrentIndex(edit.Unit);
        c->setEnabled(edit.Enabled);
    };
    const TPrintPreviewModel& m = Model;
    text(EditTop, m.Top.Text);
    text(EditLeft, m.Left.Text);
    text(EditHeight, m.Height.Text);
    text(EditWidth, m.Width.Text);
    text(EditScale, m.Scale);
    EditTop->setEnabled(m.Top.Enabled);
    EditLeft->setEnabled(m.Left.Enabled);
    EditHeight->setEnabled(m.Height.Enabled);
    EditWidth->setEnabled(m.Width.Enabled);
    EditScale->setEnabled(m.ScaleEnabled);
    unit(ComboBoxTopUnit, m.Top);
    unit(ComboBoxLeftUnit, m.Left);
    unit(ComboBoxHeightUnit, m.Height);
    unit(ComboBoxWidthUnit, m.Width);
    CheckBoxCenter->setChecked(m.Center);
    CheckBoxCenter->setEnabled(m.CenterEnabled);
    CheckBoxFitPage->setChecked(m.FitPage);

    // the paper in the panel's middle, the picture where the fields put it
    const TPixelSize paper = PreviewPaperSize({kPanelSize, kPanelSize}, m.Page);
    ImagePreview->setGeometry((kPanelSize - paper.Width) / 2, (kPanelSize - paper.Height) / 2, paper.Width,
                              paper.Height);
    if (m.Shown) {
        const TDeviceRect r = PreviewPicture(*m.Shown, m.Page, paper);
        ImagePreview->PictureRect = QRect(r.X, r.Y, r.Width, r.Height);
    } else {
        ImagePreview->PictureRect = QRect();
    }
    ImagePreview->update();
}

void TPrintPreviewForm::Edited(QLineEdit* edit, std::string& text, void (TPrintPreviewModel::*reaction)()) {
    text = edit->text().toStdString();
    RunGuarded([&] { (Model.*reaction)(); });
    ShowModel();
}

void TPrintPreviewForm::UnitChosen(TPrintField field, QComboBox* list, QLineEdit* edit) {
    bool changed = false;
    RunGuarded([&] { changed = Model.UnitChange(field, list->currentIndex()); });
    if (!changed) edit->setFocus();
    ShowModel();
}

// ---- Buttons ----

void TPrintPreviewForm::ButtonOKClick() {
    if (Model.OK()) accept();
}

void TPrintPreviewForm::ButtonPageSetClick() {
    if (!FDialogs.PageSetup || !FDialogs.PageSetup(FPrinter, this)) return;
    Model.PageChanged(PageInScreenPixels(MetricsOf(FPrinter), Model.Ppi));
    ShowModel();
}

void TPrintPreviewForm::ButtonPrintClick() {
    if (!PrintingAvailable(FPrinter)) {
        ShowInfo(Lang("Can not find any printer."));
        return;
    }
    if (!FDialogs.ChoosePrinter || !FDialogs.ChoosePrinter(FPrinter, this)) return;
    if (!Model.ReadFields()) return;
    // the fields were read, so they are numbers
    if (const std::optional<TDeviceRect> placement = Model.Placement(); placement && FPrintPlaced)
        FPrintPlaced(*placement);
}
