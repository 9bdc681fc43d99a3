#include "browser/ui/SidePanel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QToolButton>
#include <QVBoxLayout>

#include "browser/PicGrid.h"
#include "browser/ui/CategorySelector.h"
#include "browser/ui/FilterList.h"
#include "browser/ui/PicFileList.h"
#include "browser/ui/PicListFactory.h"
#include "browser/ui/ShellTreeView.h"
#include "filters/ui/FilterParamPage.h"
#include "language/Language.h"
#include "platform/Paths.h"
#include "text/ui/TextPage.h"

// ---- TNotebook ----

TNotebook::TNotebook(QWidget* parent) : QStackedWidget(parent) {}

QWidget* TNotebook::AddPage(const std::string& name, QWidget* page) {
    if (!page) page = new QWidget;
    page->setObjectName(QString::fromStdString(name));
    addWidget(page);
    FNames.push_back(name);
    return page;
}

bool TNotebook::ShowPage(const std::string& name) {
    const QString wanted = QString::fromStdString(name);
    for (size_t i = 0; i < FNames.size(); ++i) {
        if (QString::fromStdString(FNames[i]).compare(wanted, Qt::CaseInsensitive) == 0) {
            setCurrentIndex(int(i));
            return true;
        }
    }
    return false;
}

std::string TNotebook::CurrentPage() const {
    const int i = currentIndex();
    return i >= 0 && i < int(FNames.size()) ? FNames[size_t(i)] : std::string();
}

QWidget* TNotebook::Page(const std::string& name) const {
    const QString wanted = QString::fromStdString(name);
    for (size_t i = 0; i < FNames.size(); ++i)
        if (QString::fromStdString(FNames[i]).compare(wanted, Qt::CaseInsensitive) == 0)
            return widget(int(i));
    return nullptr;
}

// ---- TSidePanel: the pages ----

namespace {
QVBoxLayout* Column(QWidget* page, int margin) {
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(6);
    return column;
}
} // namespace

QWidget* TSidePanel::NewPage(QVBoxLayout*& column) {
    auto* page = new QWidget;
    column = Column(page, PageMargin);
    return page;
}

TSidePanel::TSidePanel(const std::string& resourceRoot, QWidget* parent)
    : TNotebook(parent), FRoot(resourceRoot) {
    setObjectName("NotebookPanel");
    setFixedWidth(PanelWidth);
    QVBoxLayout* column = nullptr;

    // "Import Photo": the folder tree over the photo grid
    QWidget* photo = NewPage(column);
    ShellTreeViewPhoto = new TShellTreeView(photo);
    ShellTreeViewPhoto->setObjectName("ShellTreeViewPhoto");
    PicFileListPhoto = CreatePhotoList(photo);
    column->addWidget(ShellTreeViewPhoto, 2);
    column->addWidget(PicFileListPhoto, 3);
    AddPage("Import Photo", photo);

    // "Modify": three buttons over the inner notebook
    QWidget* modify = NewPage(column);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    auto* group = new QButtonGroup(modify);
    auto tool = [&](const char* name, const char* text) {
        auto* b = new QToolButton(modify);
        b->setObjectName(name);
        b->setText(text);
        b->setCheckable(true);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        group->addButton(b);
        buttons->addWidget(b);
        return b;
    };
    ImageButtonMask = tool("ImageButtonMask", "Mask");
    ImageButtonSubFrame = tool("ImageButtonSubFrame", "Frame");
    ImageButtonFilter = tool("ImageButtonFilter", "Filter");
    ImageButtonMask->setChecked(true);
    column->addLayout(buttons);
    NotebookMod = new TNotebook(modify);
    NotebookMod->setObjectName("NotebookMod");
    column->addWidget(NotebookMod, 1);
    AddPage("Modify", modify);

    auto subPage = [&](const std::string& name) {
        QWidget* page = NotebookMod->AddPage(name);
        Column(page, 0);
        return page;
    };
    QWidget* maskPage = subPage("Mask");
    PicFileListMask = CreateMaskList(maskPage);
    MaskTypeSelector = new TCategorySelector("Mask Type", "Masks", PicFileListMask, maskPage);
    maskPage->layout()->addWidget(MaskTypeSelector);
    static_cast<QVBoxLayout*>(maskPage->layout())->addWidget(PicFileListMask, 1);
    QWidget* subFramePage = subPage("Frame");
    PicFileListSubFrame = CreateSubFrameList(subFramePage);
    SubFrameTypeSelector = new TCategorySelector("Frame Type", "Frames", PicFileListSubFrame, subFramePage);
    subFramePage->layout()->addWidget(SubFrameTypeSelector);
    static_cast<QVBoxLayout*>(subFramePage->layout())->addWidget(PicFileListSubFrame, 1);
    FilterPage = subPage("Filter");
    FilterListPanel = CreateFilterList(FilterPage);
    FilterPage->layout()->addWidget(FilterListPanel);
    FilterParameterPage = subPage("Filter Parameter");
    FilterParams = new TFilterParamPage(FilterParameterPage);
    FilterParameterPage->layout()->addWidget(FilterParams);
    NotebookMod->ShowPage("Mask");
    connect(ImageButtonMask, &QToolButton::clicked, this, [this] { NotebookMod->ShowPage("Mask"); });
    connect(ImageButtonSubFrame, &QToolButton::clicked, this, [this] { NotebookMod->ShowPage("Frame"); });
    connect(ImageButtonFilter, &QToolButton::clicked, this, [this] { NotebookMod->ShowPage("Filter"); });

    // "Frame": border frames
    QWidget* frame = NewPage(column);
    PicFileListFrame = CreateFrameList(frame);
    FrameTypeSelector = new TCategorySelector("Border Type", "Frames", PicFileListFrame, frame);
    ImageButtonDelBorder = new QPushButton("&Del Border", frame);
    ImageButtonDelBorder->setObjectName("ImageButtonDelBorder");
    column->addWidget(FrameTypeSelector);
    column->addWidget(PicFileListFrame, 1);
    column->addWidget(ImageButtonDelBorder);
    AddPage("Frame", frame);

    // "Output": for the save and print buttons
    QWidget* output = NewPage(column);
    OutputPageArea = new QWidget(output);
    OutputPageArea->setObjectName("OutputPageArea");
    column->addWidget(OutputPageArea, 1);
    AddPage("Output", output);

    // "Clipart": category, grid and the add/delete bar of "Customize"
    QWidget* clipart = NewPage(column);
    PicFileListClipart = CreateClipartList(clipart);
    ClipartTypeSelector = new TCategorySelector("Clipart Type", "Cliparts", PicFileListClipart, clipart);
    PanelAddDelClipart = new QWidget(clipart);
    PanelAddDelClipart->setObjectName("PanelAddDelClipart");
    auto* bar = new QHBoxLayout(PanelAddDelClipart);
    bar->setContentsMargins(0, 0, 0, 0);
    BtnAddClipart = new QPushButton("Add &Clipart", PanelAddDelClipart);
    BtnAddClipart->setObjectName("BtnAddClipart");
    BtnDelClipart = new QPushButton("&Delete", PanelAddDelClipart);
    BtnDelClipart->setObjectName("BtnDelClipart");
    bar->addWidget(BtnAddClipart);
    bar->addWidget(BtnDelClipart);
    PanelAddDelClipart->hide();
    column->addWidget(ClipartTypeSelector);
    column->addWidget(PicFileListClipart, 1);
    column->addWidget(PanelAddDelClipart);
    AddPage("Clipart", clipart);
    ClipartTypeSelector->OnCategoryShown = [this](const std::string& c) { ClipartCategoryShown(c); };

    // "Text": the text controls above, the texture grid down to 2 pixels
    // above the bottom
    QWidget* text = NewPage(column);
    column->setContentsMargins(PageMargin, PageMargin, PageMargin, 2);
    TextPageArea = TextPage = new TTextPage(text);
    PicFileListTexture = CreateTextureList(text);
    // three rows high; five columns wide with room for the scroll bar
    PicFileListTexture->setFixedSize(5 * (47 + 1) + 1 + 22, 3 * (47 + 1 + 10) + 1);
    column->addWidget(TextPageArea, 1);
    column->addWidget(PicFileListTexture, 0, Qt::AlignHCenter);
    AddPage("Text", text);

    auto expose = [](TCategorySelector* s, QComboBox*& hidden, QComboBox*& visible, QLabel*& label,
                     const char* hiddenName, const char* visibleName) {
        hidden = s->Hidden;
        visible = s->Visible;
        label = s->Label;
        hidden->setObjectName(hiddenName);
        visible->setObjectName(visibleName);
    };
    expose(MaskTypeSelector, ComboBoxMaskType, ComboBoxMaskType2, LabelMaskType, "ComboBoxMaskType",
           "ComboBoxMaskType2");
    expose(SubFrameTypeSelector, ComboBoxSubFrameType, ComboBoxSubFrameType2, LabelSubFrameType,
           "ComboBoxSubFrameType", "ComboBoxSubFrameType2");
    expose(FrameTypeSelector, ComboBoxFrameType, ComboBoxFrameType2, LabelFrameType, "ComboBoxFrameType",
           "ComboBoxFrameType2");
    expose(ClipartTypeSelector, ComboBoxClipartType, ComboBoxClipartType2, LabelClipartType,
           "ComboBoxClipartType", "ComboBoxClipartType2");

    for (TPicFileList* l :
         {PicFileListPhoto, PicFileListMask, PicFileListSubFrame, PicFileListFrame, PicFileListClipart})
        WireHint(l);
    ShellTreeViewPhoto->OnChange = [this](const std::string& path) { ShellTreeViewPhotoChange(path); };

    // creation: the category lists and the textures with the first selected
    for (TCategorySelector* s :
         {MaskTypeSelector, SubFrameTypeSelector, FrameTypeSelector, ClipartTypeSelector})
        s->Fill(FRoot);
    PicFileListTexture->SetDirectory(JoinPath(FRoot, "Textures"));
    PicFileListTexture->SelectByIndex(0);
    ShowPage("Import Photo");
}

// ---- First show and reports ----

void TSidePanel::FormShow(const TLookup& lookup) {
    for (TCategorySelector* s :
         {MaskTypeSelector, SubFrameTypeSelector, FrameTypeSelector, ClipartTypeSelector})
        s->FirstShow(lookup);
    const std::string photos = JoinPath(FRoot, "Photos");
    if (DirectoryExists(photos))
        ShellTreeViewPhoto->SelectFolder(photos);
    else
        ShellTreeViewPhoto->Reveal(QDir::homePath().toStdString());
}

void TSidePanel::RetranslateLabels(const TLookup& lookup) {
    auto t = [&](const char* s) { return QString::fromStdString(lookup ? lookup(s) : std::string(s)); };
    LabelMaskType->setText(t("Mask Type"));
    LabelSubFrameType->setText(t("Frame Type"));
    LabelFrameType->setText(t("Border Type"));
    LabelClipartType->setText(t("Clipart Type"));
    ImageButtonMask->setText(t("Mask"));
    ImageButtonSubFrame->setText(t("Frame"));
    ImageButtonFilter->setText(t("Filter"));
    ImageButtonDelBorder->setText(t("&Del Border"));
    BtnAddClipart->setText(t("Add &Clipart"));
    BtnDelClipart->setText(t("&Delete"));
}

void TSidePanel::ShellTreeViewPhotoChange(const std::string& path) {
    PicFileListPhoto->SetDirectory(path);
    if (OnUserPhotoFolder) OnUserPhotoFolder(path);
}

void TSidePanel::ClipartCategoryShown(const std::string& category) {
    PanelAddDelClipart->setVisible(IsCustomizeCategory(category));
}

std::string TSidePanel::HintFor(const TPicFileList* list) const {
    if (list == PicFileListPhoto) return Lang("Double click or drag a photo to load");
    if (list == PicFileListClipart) return Lang("Double click or drag clipart to apply");
    if (list == PicFileListFrame) return Lang("Double click frame to apply");
    if (list == PicFileListSubFrame) return Lang("Drag a sub frame onto any photo to apply");
    if (list == PicFileListMask) return Lang("Drag mask onto any photo to apply");
    return "";
}

void TSidePanel::WireHint(TPicFileList* list) {
    list->OnMouseEnter = [this, list](QObject*) {
        if (OnHint) OnHint(HintFor(list));
    };
    list->OnMouseLeave = [this](QObject*) {
        if (OnHint) OnHint("");
    };
}
