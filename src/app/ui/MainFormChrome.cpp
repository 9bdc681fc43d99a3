// The main window's picture buttons -- the top bar, the photo tools beside
// the canvas and the buttons of the side-panel pages -- and the commands
// that lead to the user guide and the About box.

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/ui/MainForm.h"
#include "browser/ui/CategorySelector.h"
#include "browser/ui/SidePanel.h"
#include "chrome/Help.h"
#include "chrome/ui/AboutForm.h"
#include "chrome/ui/WindowChrome.h"
#include "language/Language.h"
#include "platform/ui/ImageButton.h"
#include "text/ui/TextPage.h"

namespace {
void OpenHelpPage(const char* page) {
    // what the browser or the desktop makes of it is theirs to report
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(HelpPagePath(page))));
}
} // namespace

// ---- The bars ----

void TMainForm::CreateTopBar(QWidget* parent, QBoxLayout* into) {
    Chrome = new TWindowChrome(parent);
    into->addWidget(Chrome->TopBar);
    WireChrome();
}

void TMainForm::WireChrome() {
    auto on = [this](const char* name, std::function<void()> command) {
        connect(Chrome->Button(name), &QAbstractButton::clicked, this,
                [this, command] { RunCommand(command); });
    };
    // the top bar
    on("ImageButtonAddPhoto", [this] { BitBtnPhotoClick(); });
    on("ImageButtonMod", [this] { ImageButtonModClick(); });
    on("ImageButtonAddClipart", [this] {
        NotebookPanel->ShowPage("Clipart");
        Editor.ActivePanel = 1; // a clipart dropped on a photo is added, not swapped in: no outline
    });
    on("ImageButtonAddText", [this] { ImageTextClick(); });
    on("ImageButtonBorder", [this] { ImageButtonBorderClick(); });
    on("ImageButtonBackdrop", [this] { ButtonSetClick(); });
    on("ImageButtonOupput", [this] {
        NotebookPanel->ShowPage("Output");
        Editor.ActivePanel = -1;
    });
    connect(Chrome->ImageLogo, &QAbstractButton::clicked, this,
            [this] { RunCommand([this] { ImageLogoClick(); }); });

    // the photo tools run the commands of their menu items
    on("ImageButtonCrop", [this] { SpeedButtonCropClick(); });
    QWidget* trans = Chrome->Button("ImageButtonTrans");
    on("ImageButtonTrans", [this, trans] { SpeedButtonTransClick(trans); });
    on("ImageButtonShadow", [this] { SpeedButtonShadowClick(); });
    for (auto [button, item] : {std::pair{"ImageBtnFlipH", "MenuFlipHorizontally"},
                                {"ImageButtonFlipV", "MenuFlipVertically"},
                                {"ImageButtonZoomIn", "MenuZoomIn"},
                                {"ImageButtonZoomOut", "MenuZoomOut"},
                                {"ImageButtonUndo", "MenuUnDo"},
                                {"ImageButtonRedo", "MenuReDo"},
                                {"ImageButtonPreview", "MenuPreview"}}) {
        const char* command = item;
        connect(Chrome->Button(button), &QAbstractButton::clicked, this,
                [this, command] { RunNamed(command); });
    }
}

void TMainForm::WirePageButtons() {
    TSidePanel& p = *NotebookPanel;
    // the output page: three save buttons, then the three print buttons,
    // each running the command of its menu item
    auto* column = new QVBoxLayout(p.OutputPageArea);
    column->setContentsMargins(0, 8, 0, 0);
    column->setSpacing(10);
    for (auto [name, item] : {std::pair{"ImageButtonSaveAsImage", "MenuSaveasImage"},
                              {"ImageButtonSaveAsWallpaper", "MenuSaveasWallpaper"},
                              {"ImageButtonSaveAsProject", "MenuSaveasProject"},
                              {"ImageButtonPaperSet", "MenuPaperSettings"},
                              {"ImageButtonPrintPreview", "MenuPrintPreview"},
                              {"ImageButtonPrint", "MenuPrint"}}) {
        if (std::string(name) == "ImageButtonPaperSet") column->addSpacing(18);
        auto* b = new TImageButton(p.OutputPageArea);
        b->setObjectName(name);
        column->addWidget(b, 0, Qt::AlignHCenter);
        const char* command = item;
        connect(b, &QAbstractButton::clicked, this, [this, command] { RunNamed(command); });
        Chrome->Adopt(b);
    }
    column->addStretch(1);
    Chrome->Adopt(p.ImageButtonDelBorder);
    Chrome->Adopt(p.TextPage->ImageButtonInsertText);
    Chrome->Adopt(p.TextPage->ImageButtonModText);

    // the modify page's tabs
    connect(p.ImageButtonMask, &QAbstractButton::clicked, this,
            [this] { RunCommand([this] { BitBtnMaskClick(); }); });
    connect(p.ImageButtonSubFrame, &QAbstractButton::clicked, this,
            [this] { RunCommand([this] { ImageButtonSubFrameClick(); }); });
    connect(p.ImageButtonFilter, &QAbstractButton::clicked, this,
            [this] { RunCommand([this] { ImageButtonFilterClick(); }); });
    Chrome->AddHint(p.ImageButtonSubFrame, 19);
    Chrome->AddHint(p.ImageButtonMask, 20);
    Chrome->AddHint(p.ImageButtonFilter, 21);
}

// ---- Pages ----

void TMainForm::ImageButtonModClick() {
    // the modify page opens on the sub-page last used
    NotebookPanel->ShowPage("Modify");
    const std::string sub = NotebookPanel->NotebookMod->CurrentPage();
    if (sub == "Frame")
        ImageButtonSubFrameClick();
    else if (sub == "Filter" || sub == "Filter Parameter")
        Editor.ActivePanel = 7;
    else
        BitBtnMaskClick();
}

void TMainForm::ImageButtonSubFrameClick() {
    NotebookPanel->NotebookMod->ShowPage("Frame");
    NotebookPanel->SubFrameTypeSelector->ChooseFirstIfNone();
    Editor.ActivePanel = 6;
}

void TMainForm::ImageButtonFilterClick() {
    // filters are applied by double-click: nothing is dropped on the canvas
    Editor.ActivePanel = 7;
}

// ---- Captions ----

std::string TMainForm::ButtonCaption(const TPictureButtonInfo& b) const {
    if (b.CaptionMenu)
        if (auto* a = findChild<QAction*>(b.CaptionMenu)) return a->text().section('\t', 0, 0).toStdString();
    return b.CaptionKey ? Lang(b.CaptionKey) : std::string();
}

void TMainForm::PaintButtonCaptions() {
    RunCommand([this] {
        Chrome->PaintButtonCaptions(ResourceRootPath,
                                    [this](const TPictureButtonInfo& b) { return ButtonCaption(b); });
    });
    Chrome->LoadLogo(ResourceRootPath);
}

// ---- Help and about ----

void TMainForm::MenuHelpContentsClick() {
    OpenHelpPage(kHelpStartPage);
}

void TMainForm::MenuDownloadMoreMaterialsClick() {
    OpenHelpPage(kHelpMaterialsPage);
}

void TMainForm::MenuMoreLanguagesClick() {
    OpenHelpPage(kHelpLanguagesPage);
}

void TMainForm::ImageLogoClick() {
    OpenHelpPage(kHelpStartPage);
}

void TMainForm::MenuAboutClick() {
    TAboutForm form(ResourceRootPath, this);
    form.exec();
}
