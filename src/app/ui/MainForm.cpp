#include "app/ui/MainForm.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QFile>
#include <QScrollBar>
#include <QSlider>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <tuple>

#include "app/ui/Cursors.h"
#include "app/ui/FlashForm.h"
#include "app/ui/ImageScreenWidget.h"
#include "browser/ui/CategorySelector.h"
#include "browser/ui/PicFileList.h"
#include "browser/ui/PicPanel.h"
#include "browser/ui/SidePanel.h"
#include "editing/AddPictures.h"
#include "editing/DecorationCommands.h"
#include "engine/Errors.h"
#include "language/Language.h"
#include "output/Export.h"
#include "output/ui/WallpaperOptForm.h"
#include "persistence/ProjectCommands.h"
#include "persistence/ui/TemplateForm.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/ui/QtDialogs.h"
#include "platform/ui/QtMessages.h"
#include "text/ui/TextPage.h"

// ---- Start-up and shutdown ----

TMainForm::TMainForm(const TStartOptions& options) : QMainWindow(nullptr) {
    setObjectName("MainForm");
    FormCreate(options);
}

void TMainForm::FormCreate(const TStartOptions& options) {
    FMessages = std::make_unique<TQtMessages>(this);
    FDialogs = std::make_unique<TQtDialogs>(this);
    SetMessageService(FMessages.get());
    SetDialogService(FDialogs.get());
    SetCommandGuard([this](const std::function<void()>& command) { RunCommand(command); });

    // 1. start-up timer off; resource folder
    TimerNew = new QTimer(this);
    TimerNew->setObjectName("TimerNew");
    TimerNew->setSingleShot(true);
    TimerNew->setInterval(1000);
    connect(TimerNew, &QTimer::timeout, this, [this] {
        TimerNew->stop();
        RunCommand([this] { PMenuNewProjectClick(); });
    });
    ResourceRootPath = ResourceRoot();

    // 2. splash
    std::unique_ptr<TFlashForm> flash;
    QElapsedTimer splashClock;
    if (options.ShowSplash) {
        flash = std::make_unique<TFlashForm>(QString::fromStdString(ResourceRootPath));
        flash->show();
        flash->raise();
        splashClock.start();
        QApplication::processEvents();
    }

    // window layout: canvas in its scroll box, status bar at the bottom
    Doc.Observer = this;
    Editor.Host = this;
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    CreateTopBar(central, column);
    auto* work = new QHBoxLayout();
    work->setContentsMargins(0, 0, 0, 0);
    work->setSpacing(0);
    NotebookPanel = new TSidePanel(ResourceRootPath, central);
    NotebookPanel->setObjectName("NotebookPanel");
    work->addWidget(NotebookPanel);
    ImageScreen = new TImageScreenWidget(Doc, central);
    work->addWidget(ImageScreen, 1);
    column->addLayout(work, 1);
    CreateStatusBar();
    column->addWidget(PanelStatusBar);
    setCentralWidget(central);
    CreateMenus();
    CreatePopupMenu();
    CreateTransForm();
    WireSidePanel();
    WireFilterPages();
    TImage32& screen = Doc.ImageScreen;
    screen.OnMouseDown = [this](TMouseButton b, TShiftState s, int x, int y, TCustomLayer* l) {
        RunCommand([&] { Editor.ImageScreenMouseDown(b, s, x, y, l); });
    };
    screen.OnMouseMove = [this](TShiftState s, int x, int y, TCustomLayer*) {
        RunCommand([&] { Editor.ImageScreenMouseMove(s, x, y); });
    };
    screen.OnMouseUp = [this](TMouseButton b, TShiftState s, int x, int y, TCustomLayer*) {
        RunCommand([&] {
            Editor.ImageScreenMouseUp(b, s, x, y);
            if (b == TMouseButton::Right)
                ShowPopupMenu(x, y, ImageScreen->viewport()->mapToGlobal(QPoint(x, y)));
        });
    };

    // 3. configuration and language
    ReadConfiguration(Configuration);
    LanguageIndex = Configuration.LanguageIndex;
    BuildLanguageMenu();
    ApplyLanguage(LanguageIndex);
    if (LanguageIndex == -1) MenuEnglish->setChecked(true);

    // 4. page defaults; the default background picture when it exists
    Doc.CollageSettings = TCollageSettings{};
    const std::string defaultBackground = ResourceRootPath + "background/3.jpg";
    if (FileExists(defaultBackground)) {
        Doc.CollageSettings.BKType = 2;
        Doc.CollageSettings.BKColor = 0xFFFFFF;
        Doc.CollageSettings.BKImageFile = defaultBackground;
        Doc.CollageSettings.BKImageFillType = 2;
    }

    // 5. labels, zoom
    LabelOperation->clear();
    TrackBarScale->setValue(100);
    LabelScale->setText("100%");

    // 9. shortcuts through one application-wide filter; drops from the file
    // manager
    qApp->installEventFilter(this);
    Doc.ProjectFile.clear();
    Doc.SetModified(false);

    // 10. the rotation cursor of the selection handles
    RegisterRotateCursor(QString::fromStdString(ResourceRootPath + "resource/rotate.png"));

    // 11-12. history off; caption
    Doc.EnableUndo(false);
    Doc.EnableRedo(false);
    setWindowTitle(QString::fromStdString(Doc.Caption()));

    // 18. a project named on the command line
    if (!options.Arguments.isEmpty())
        FProjectFromCommandLine = OpenProjectFromOutside(options.Arguments.first().toStdString());

    // 19. files dropped from the file manager
    setAcceptDrops(true);

    // 20. the new-project step follows the first show unless a project opened
    if (!FProjectFromCommandLine && options.EnableStartTimer) TimerNew->setProperty("armed", true);

    // 21. keep the splash up for its time, then close it
    if (flash) {
        while (splashClock.elapsed() < options.SplashMilliseconds) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(10);
        }
        flash.reset();
    }
    resize(1180, 800);
}

TMainForm::~TMainForm() {
    qApp->removeEventFilter(this);
    // FormDestroy: the configuration keeps the last page, print and language
    // settings; a file that cannot be written is left as it was.
    Configuration.CollageSettings = Doc.CollageSettings;
    Configuration.LanguageIndex = LanguageIndex;
    WriteConfiguration(Configuration);
    Doc.Observer = nullptr;
    SetCommandGuard({});
    SetMessageService(nullptr);
    SetDialogService(nullptr);
}

void TMainForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TMainForm::FormShow() {
    NotebookPanel->FormShow([](const std::string& key) { return Lang(key); });
    if (!Configuration.UserPhotoFolder.empty()) (void)0; // the tree starts at the sample photos
    // the canvas needs its real size before the page is fitted into it
    ImageScreen->SyncGeometry();
    const QSize box = ImageScreen->maximumViewportSize();
    Doc.SetScrollBoxSize(box.width(), box.height());
    RunCommand([this] { Doc.ApplyCanvasSettings(); });
    if (TimerNew->property("armed").toBool()) {
        TimerNew->setProperty("armed", false);
        TimerNew->start();
    }
}

// ---- Menus ----

QAction* TMainForm::AddAction(QMenu* menu, const char* objectName, const std::string& key, const char* shortcut,
                              std::function<void()> handler) {
    auto* a = new QAction(this);
    a->setObjectName(objectName);
    menu->addAction(a);
    FTranslated.push_back({a, key, "", shortcut ? shortcut : ""});
    if (handler) {
        FCommands[objectName] = handler;
        connect(a, &QAction::triggered, this, [this, handler] { RunCommand(handler); });
    }
    else
        a->setEnabled(false); // arrives with a later feature
    return a;
}

void TMainForm::CreateMenus() {
    QMenuBar* bar = menuBar();
    auto addMenu = [&](const char* name, const std::string& key) {
        QMenu* m = bar->addMenu(QString());
        m->setObjectName(name);
        FTranslated.push_back({m->menuAction(), key, "", ""});
        return m;
    };
    QMenu* file = addMenu("MenuFile", "&File");
    AddAction(file, "PMenuNewProject", "&New Project", "Ctrl+N", [this] { PMenuNewProjectClick(); });
    AddAction(file, "MenuOpenProject", "&Open Project", nullptr, [this] {
        if (OpenProjectCommand(Doc)) ProjectReplaced();
    });
    file->addSeparator();
    AddAction(file, "MenuSaveasProject", "Save Pro&ject", "Ctrl+S", [this] { SaveProjectCommand(Doc); });
    AddAction(file, "MenuSaveProjAs", "Save Project As...", nullptr, [this] { SaveProjectAsCommand(Doc); });
    AddAction(file, "MenuSaveasTemplate", "Save as &Template", nullptr, [this] { SaveAsTemplateCommand(Doc); });
    file->addSeparator();
    AddAction(file, "MenuSaveasImage", "Save as &Image", nullptr, [this] { SaveAsImageCommand(Doc, FImageDialog); });
    AddAction(file, "MenuSaveasWallpaper", "Save as &Wallpaper", nullptr, [this] {
        TWallpaperOptForm form(this);
        form.exec();
        if (form.Accepted) SetCollageAsWallpaper(Doc, form.Style());
    });
    file->addSeparator();
    AddAction(file, "MenuPaperSettings", "Paper &Settings", nullptr, [this] { MenuPaperSettingsClick(); });
    FTranslated.back().Suffix = "...";
    AddAction(file, "MenuPrintPreview", "Print Pre&view", nullptr, [this] { MenuPrintPreviewClick(); });
    FTranslated.back().Suffix = "...";
    AddAction(file, "MenuPrint", "&Print", nullptr, [this] { MenuPrintClick(); });
    FTranslated.back().Suffix = "...";
    file->addSeparator();
    AddAction(file, "Close1", "E&xit", nullptr, [this] { Close1Click(); });

    QMenu* edit = addMenu("MenuEdit", "&Edit");
    MenuUnDo = AddAction(edit, "MenuUnDo", "&UnDo", "Ctrl+Z", [this] { Editor.MenuUnDoClick(); });
    MenuReDo = AddAction(edit, "MenuReDo", "&ReDo", "Ctrl+R", [this] { Editor.MenuReDoClick(); });
    edit->addSeparator();
    AddAction(edit, "MenuCut", "C&ut", "Ctrl+X", [this] { MenuCutClick(Editor, Clipboard); });
    AddAction(edit, "MenuCopy", "&Copy", "Ctrl+C", [this] { MenuCopyClick(Editor, Clipboard); });
    AddAction(edit, "MenuPaste", "&Paste", "Ctrl+V", [this] { MenuPasteClick(Editor, Clipboard); });
    AddAction(edit, "MenuDelete", "&Delete", "Del", [this] { MenuDeleteClick(Editor); });
    AddAction(edit, "MenuSelectAll", "Select &All", "Ctrl+A", [this] { MenuSelectAllClick(Editor); });
    edit->addSeparator();
    AddAction(edit, "MenuFlipHorizontally", "Flip &Horizontally", "Ctrl+H", [this] { SpeedButtonFlipHClick(Editor); });
    AddAction(edit, "MenuFlipVertically", "Flip &Vertically", "Ctrl+F", [this] { SpeedButtonFlipVClick(Editor); });
    edit->addSeparator();
    AddAction(edit, "MenuSettings", "&Settings", nullptr, [this] { ButtonSetClick(); });

    QMenu* design = addMenu("MenuDesign", "&Design");
    AddAction(design, "MenuAddPhoto", "Add &Photo", nullptr, [this] { BitBtnPhotoClick(); });
    AddAction(design, "MenuAddText", "Add &Text", nullptr, [this] { ImageTextClick(); });
    design->addSeparator();
    AddAction(design, "MenuFrame", "&Frame", nullptr, [this] { ImageButtonBorderClick(); });
    AddAction(design, "MenuDelFrameBorder", "&Del Border", nullptr, [this] { BitBtnDelFrameClick(Editor); });
    design->addSeparator();
    AddAction(design, "MenuDelMask", "&Del Mask", nullptr, [this] { MenuDelMaskClick(Editor); });
    AddAction(design, "MenuDelSubFrame", "&Del Frame", nullptr, [this] { SpeedButtonDelSubFrameClick(Editor); });
    design->addSeparator();
    AddAction(design, "MenuShadow", "&Shadow", nullptr, [this] { SpeedButtonShadowClick(); });
    AddAction(design, "MenuDelShadow", "&Del Shadow", nullptr, [this] { MenuDelShadowClick(); });
    AddAction(design, "MenuTransparent", "&Transparent", nullptr, [this] { SpeedButtonTransClick(); });
    AddAction(design, "MenuCrop", "&Crop", nullptr, [this] { SpeedButtonCropClick(); });
    design->addSeparator();
    AddAction(design, "MenuZoomIn", "Zoom &In", "Ctrl+I", [this] { Editor.SpeedButtonZoomInClick(); });
    AddAction(design, "MenuZoomOut", "Zoom &Out", "Ctrl+O", [this] { Editor.SpeedButtonZoomOutClick(); });

    QMenu* view = addMenu("MenuView", "&View");
    AddAction(view, "MenuPreview", "&Preview", "Ctrl+P", [this] { MenuPreviewClick(); });

    QMenu* layer = addMenu("MenuLayer", "&Layer");
    AddAction(layer, "MenuSendtoFront", "Send to &Front", nullptr, [this] { MenuSendtoFrontClick(Editor); });
    AddAction(layer, "MenuSendtoBack", "Send to &Back", nullptr, [this] { MenuSendtoBackClick(Editor); });
    AddAction(layer, "MenuLayerTop", "Layer &Top", nullptr, [this] { MenuLayerTopClick(Editor); });
    AddAction(layer, "MenuLayerBottom", "Layer B&ottom", nullptr, [this] { MenuLayerBottomClick(Editor); });
    // locking is decided by templates and projects; the items stay hidden
    for (const char* name : {"MenuLock", "MenuUnLock"}) {
        QAction* a = layer->addAction(name + 4);
        a->setObjectName(name);
        a->setVisible(false);
    }
    // the arrow keys nudge the selection; they have no menu items
    FCommands["NudgeLeft"] = [this] { NudgeSelection(Editor, -1, 0); };
    FCommands["NudgeUp"] = [this] { NudgeSelection(Editor, 0, -1); };
    FCommands["NudgeRight"] = [this] { NudgeSelection(Editor, 1, 0); };
    FCommands["NudgeDown"] = [this] { NudgeSelection(Editor, 0, 1); };

    MenuLanguages = bar->addMenu("Languages");
    MenuLanguages->setObjectName("MenuLanguages");
    FLanguageGroup = new QActionGroup(this);
    FLanguageGroup->setExclusive(true);
    MenuEnglish = MenuLanguages->addAction("&English");
    MenuEnglish->setObjectName("MenuEnglish");
    MenuEnglish->setCheckable(true);
    FLanguageGroup->addAction(MenuEnglish);
    connect(MenuEnglish, &QAction::triggered, this,
            [this] { RunCommand([this] { LanguageItemClick(-1); }); });
    MenuLanguages->addSeparator();
    MenuLanguages->addSeparator();
    AddAction(MenuLanguages, "MenuMoreLanguages", "&More Languages", nullptr, nullptr);

    QMenu* help = addMenu("MenuHelp", "&Help");
    AddAction(help, "MenuHelpContents", "Help &Contents", "F1", nullptr);
    help->addSeparator();
    AddAction(help, "MenuDownloadMoreMaterials", "&Download More Materials", nullptr, nullptr);
    help->addSeparator();
    AddAction(help, "MenuAbout", "&About...", nullptr, nullptr);
}

// ---- Side panel, top bar and thumbnails ----

void TMainForm::CreateTopBar(QWidget* parent, QBoxLayout* into) {
    // Plain buttons stand in for the picture buttons of the top bar.
    auto* bar = new QWidget(parent);
    bar->setObjectName("PanelTop");
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    auto button = [&](const char* name, const std::string& key, std::function<void()> click) {
        auto* b = new QToolButton(bar);
        b->setObjectName(name);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setMinimumWidth(90);
        FTranslated.push_back({b, key, "", ""});
        if (click)
            connect(b, &QToolButton::clicked, this, [this, click] { RunCommand(click); });
        else
            b->setEnabled(false);
        row->addWidget(b);
        return b;
    };
    button("ImageButtonAddPhoto", "Add &Photo", [this] { BitBtnPhotoClick(); });
    button("ImageButtonMod", "&Modify", [this] {
        NotebookPanel->ShowPage("Modify");
        BitBtnMaskClick();
    });
    button("ImageButtonAddClipart", "Add &Clipart", [this] { NotebookPanel->ShowPage("Clipart"); });
    button("ImageButtonAddText", "Add &Text", [this] { ImageTextClick(); });
    button("ImageButtonBorder", "&Border", [this] { ImageButtonBorderClick(); });
    button("ImageButtonBackdrop", "&Backdrop", [this] { ButtonSetClick(); });
    button("ImageButtonOupput", "Save", [this] {
        NotebookPanel->ShowPage("Output");
        Editor.ActivePanel = -1;
    });
    row->addStretch(1);
    into->addWidget(bar);
}

void TMainForm::BitBtnPhotoClick() {
    NotebookPanel->ShowPage("Import Photo");
    Editor.ActivePanel = 0;
}

void TMainForm::BitBtnMaskClick() {
    NotebookPanel->NotebookMod->ShowPage("Mask");
    NotebookPanel->MaskTypeSelector->ChooseFirstIfNone();
    Editor.ActivePanel = 5;
}

void TMainForm::ImageButtonBorderClick() {
    NotebookPanel->ShowPage("Frame");
    NotebookPanel->FrameTypeSelector->ChooseFirstIfNone();
    Editor.ActivePanel = 4;
}

void TMainForm::ImageTextClick() {
    NotebookPanel->ShowPage("Text");
    Editor.ActivePanel = 2;
    NotebookPanel->TextPage->ImageTextClick();
}

void TMainForm::TextLayerPicked(TNewRotLayer& layer) {
    NotebookPanel->TextPage->FillTextPage(layer);
}

void TMainForm::ShowTextAlignment(int horz, int vert) {
    NotebookPanel->TextPage->ShowTextAlignment(horz, vert);
}

bool TMainForm::DroppedOnCanvas(QWidget* target) const {
    return target && (target == ImageScreen->viewport() || target == ImageScreen);
}

void TMainForm::ThumbnailMouseDown(QObject* sender, TMouseButton button) {
    if (button != TMouseButton::Left) return;
    RunCommand([&] {
        if (TPicPanel* cell = PicPanelOf(sender)) cell->BeginDrag(sender);
    });
}

void TMainForm::ThumbnailDoubleClick(TPicFileList* list, const std::string& file) {
    TSidePanel& p = *NotebookPanel;
    RunCommand([&] {
        if (list == p.PicFileListPhoto)
            AddContentLayer(Editor, file, TPictureKind::Photo, "", TPlacement::VisibleCorner);
        else if (list == p.PicFileListClipart)
            AddContentLayer(Editor, file, TPictureKind::Clipart, p.ClipartTypeSelector->CurrentCategory(),
                            TPlacement::VisibleCorner);
        else if (list == p.PicFileListMask)
            ApplyMaskToSelection(Editor, p.MaskTypeSelector->CurrentCategory(), ExtractFileName(file));
        else if (list == p.PicFileListSubFrame)
            ApplySubFrameToSelection(Editor, p.SubFrameTypeSelector->CurrentCategory(), ExtractFileName(file));
        else if (list == p.PicFileListFrame)
            SetBorderFrame(Editor, p.FrameTypeSelector->CurrentCategory(), ExtractFileName(file));
    });
}

void TMainForm::ThumbnailEndDrag(TPicFileList* list, const std::string& file, QWidget* target, int x, int y) {
    TSidePanel& p = *NotebookPanel;
    if (!DroppedOnCanvas(target)) {
        Editor.DropTargetLayer = nullptr;
        return;
    }
    RunCommand([&] {
        if (list == p.PicFileListPhoto) {
            if (TNewRotLayer* t = Editor.DropTargetLayer)
                DropPhotoOnLayer(Editor, *t, file);
            else
                AddContentLayer(Editor, file, TPictureKind::Photo, "", TPlacement::DropPoint, x, y);
        } else if (list == p.PicFileListClipart) {
            AddContentLayer(Editor, file, TPictureKind::Clipart, p.ClipartTypeSelector->CurrentCategory(),
                            TPlacement::DropPoint, x, y);
            Editor.DropTargetLayer = nullptr;
        } else if (list == p.PicFileListMask) {
            ApplyMaskToDropTarget(Editor, p.MaskTypeSelector->CurrentCategory(), ExtractFileName(file));
        } else if (list == p.PicFileListSubFrame) {
            ApplySubFrameToDropTarget(Editor, p.SubFrameTypeSelector->CurrentCategory(), ExtractFileName(file));
        } else if (list == p.PicFileListFrame) {
            SetBorderFrame(Editor, p.FrameTypeSelector->CurrentCategory(), ExtractFileName(file));
        }
    });
    Editor.DropTargetLayer = nullptr;
}

void TMainForm::WireSidePanel() {
    TSidePanel& p = *NotebookPanel;
    p.OnHint = [this](const std::string& hint) {
        SetOperationHint(hint);
    };
    p.OnUserPhotoFolder = [this](const std::string& path) { Configuration.UserPhotoFolder = path; };
    for (TPicFileList* list :
         {p.PicFileListPhoto, p.PicFileListMask, p.PicFileListSubFrame, p.PicFileListFrame, p.PicFileListClipart}) {
        list->OnDBLClick = [this, list](QObject*, const std::string& file) { ThumbnailDoubleClick(list, file); };
        list->OnMouseDown = [this](QObject* sender, TMouseButton b, TShiftState, int, int) {
            ThumbnailMouseDown(sender, b);
        };
        list->OnEndDrag = [this, list](const std::string& file, QObject*, QWidget* target, int x, int y) {
            ThumbnailEndDrag(list, file, target, x, y);
        };
    }
    connect(p.BtnAddClipart, &QPushButton::clicked, this, [this] {
        RunCommand([this] {
            TFileDialogRequest req;
            req.Filter = "All Supported Format|*.bmp;*.jpg;*.jpeg;*.gif;*.png";
            req.Caption = "Add Clipart";
            const TFileDialogResult r = DialogService().OpenFile(req);
            if (r.FileName.empty()) return;
            NotebookPanel->PicFileListClipart->AddFiles(AddUserCliparts({r.FileName}));
        });
    });
    connect(p.BtnDelClipart, &QPushButton::clicked, this, [this] {
        RunCommand([this] {
            TPicFileList* list = NotebookPanel->PicFileListClipart;
            TPicPanel* cell = list->SelectedPicPanel();
            if (!cell || !FileExists(cell->FileName())) return;
            QFile::remove(QString::fromStdString(cell->FileName()));
            list->DeleteSelected();
        });
    });
    // the output page: save and print buttons
    if (p.OutputPageArea) {
        auto* column = new QVBoxLayout(p.OutputPageArea);
        for (auto [name, key, command] :
             {std::tuple{"ImageButtonSaveAsImage", "Save as &Image", "MenuSaveasImage"},
              std::tuple{"ImageButtonSaveAsWallpaper", "Save as &Wallpaper", "MenuSaveasWallpaper"},
              std::tuple{"ImageButtonSaveAsProject", "Save Pro&ject", "MenuSaveasProject"},
              std::tuple{"ImageButtonPaperSet", "Paper &Settings", "MenuPaperSettings"},
              std::tuple{"ImageButtonPrintPreview", "Print Pre&view", "MenuPrintPreview"},
              std::tuple{"ImageButtonPrint", "&Print", "MenuPrint"}}) {
            auto* b = new QPushButton(p.OutputPageArea);
            b->setObjectName(name);
            b->setMinimumHeight(40);
            FTranslated.push_back({b, key, "", ""});
            const std::string target = command;
            if (target.empty())
                b->setEnabled(false);
            else
                connect(b, &QPushButton::clicked, this, [this, target] { RunNamed(target.c_str()); });
            column->addWidget(b);
        }
        column->addStretch(1);
    }
    connect(p.ImageButtonDelBorder, &QPushButton::clicked, this, [this] { RunNamed("MenuDelFrameBorder"); });
    WireTextPage();
    // thumbnails dragged over the canvas outline their drop target
    ImageScreen->OnDragMove = [this](QDragMoveEvent* e) {
        if (!e->mimeData()->hasFormat(kPictureMimeType)) return false;
        RunCommand([&] { Editor.CanvasDragOver(int(e->position().x()), int(e->position().y())); });
        return true;
    };
    ImageScreen->OnDrop = [this](QDropEvent* e) {
        e->acceptProposedAction();
        RunCommand([this] { Editor.CanvasDragEnded(); });
    };
    ImageScreen->OnDragLeave = [this] {
        RunCommand([this] { Editor.CanvasDragEnded(); });
        Editor.DropTargetLayer = nullptr;
    };
}

void TMainForm::WireTextPage() {
    TTextPage& page = *NotebookPanel->TextPage;
    TPicFileList* textures = NotebookPanel->PicFileListTexture;
    page.Commands = &TextCommands;
    page.RunCommand = [this](const std::function<void()>& command) { RunCommand(command); };
    page.SelectedTexture = [textures] {
        const TPicPanel* cell = textures->SelectedPicPanel();
        return cell ? cell->FileName() : std::string();
    };
    page.SelectTexture = [textures](const std::string& file) { return textures->SelectByFileName(file); };
    page.FocusTextureList = [textures] { textures->setFocus(); };
    // the shadow dialog's command when there is one, else the text's own
    // shadow
    page.ShadowCommand = [this] {
        const auto shadow = FCommands.find("MenuShadow");
        if (shadow != FCommands.end())
            shadow->second();
        else
            TextCommands.ApplyTextShadow();
    };
    textures->OnClick = [&page](QObject*) { page.PicFileListTextureClick(); };
}

void TMainForm::CreatePopupMenu() {
    PopupMenuMain = new QMenu(this);
    PopupMenuMain->setObjectName("PopupMenuMain");
    // runs: the command the item runs (none: not yet available)
    auto item = [&](QMenu* menu, const char* name, const char* runs) {
        auto* a = new QAction(this);
        a->setObjectName(name);
        menu->addAction(a);
        if (runs)
            connect(a, &QAction::triggered, this, [this, runs] { RunNamed(runs); });
        else
            a->setEnabled(false);
        return a;
    };
    // an item with a caption of its own
    auto own = [&](QMenu* menu, const char* name, const std::string& key, const char* runs) {
        QAction* a = item(menu, name, runs);
        FTranslated.push_back({a, key, "", ""});
        return a;
    };
    // an item standing for a main-menu item shows that item's caption
    auto twin = [&](QMenu* menu, const char* name, const char* mainItem, const char* runs) {
        QAction* a = item(menu, name, runs);
        FTwins.emplace_back(a, findChild<QAction*>(mainItem));
        return a;
    };
    twin(PopupMenuMain, "PMenuCut", "MenuCut", "MenuCut");
    twin(PopupMenuMain, "PMenuCopy", "MenuCopy", "MenuCopy");
    twin(PopupMenuMain, "PMenuPaste", "MenuPaste", "MenuPaste");
    PopupMenuMain->addSeparator();
    own(PopupMenuMain, "PMenuSetShadow", "Set &Shadow", "MenuShadow");
    twin(PopupMenuMain, "PMenuDelShadow", "MenuDelShadow", "MenuDelShadow");
    twin(PopupMenuMain, "PMenuCrop", "MenuCrop", "PMenuCrop");
    FCommands["PMenuCrop"] = [this] { PMenuCropClick(); };
    own(PopupMenuMain, "PMenuRotate90", "Rotate90", nullptr)->setEnabled(true);
    connect(findChild<QAction*>("PMenuRotate90"), &QAction::triggered, this,
            [this] { RunCommand([this] { PMenuRotate90Click(Editor); }); });
    twin(PopupMenuMain, "PMenuFlipHorizontally", "MenuFlipHorizontally", "MenuFlipHorizontally");
    twin(PopupMenuMain, "PMenuFlipVertically", "MenuFlipVertically", "MenuFlipVertically");
    twin(PopupMenuMain, "PMenuDelete", "MenuDelete", "MenuDelete");
    QMenu* layer = PopupMenuMain->addMenu(QString());
    layer->setObjectName("PMenuLayer");
    FTwins.emplace_back(layer->menuAction(), findChild<QMenu*>("MenuLayer")->menuAction());
    twin(layer, "PMenuSendtoFront", "MenuSendtoFront", "MenuSendtoFront");
    twin(layer, "PMenuSendtoBack", "MenuSendtoBack", "MenuSendtoBack");
    twin(layer, "PMenuLayerTop", "MenuLayerTop", "MenuLayerTop");
    twin(layer, "PMenuLayerBottom", "MenuLayerBottom", "MenuLayerBottom");
    PopupMenuMain->addSeparator();
    own(PopupMenuMain, "PMenuDelMask", "Del &Mask", "MenuDelMask");
    own(PopupMenuMain, "PMenuDelSubFrame", "Del Frame", "MenuDelSubFrame");
    own(PopupMenuMain, "PMenuDelFilter", "Del Fil&ter", nullptr);
    own(PopupMenuMain, "PMenuChangephoto", "Change &Photo", "PMenuChangephoto");
    own(PopupMenuMain, "PMenuDelBorder", "Del Border", "MenuDelFrameBorder");
    FCommands["PMenuChangephoto"] = [this] { PMenuChangephotoClick(Editor); };
}

void TMainForm::ShowPopupMenu(int x, int y, const QPoint& globalPos) {
    Doc.ImageScreen.PaintTo(ImageScreen->ViewBuffer()); // hit tests use the shown placement
    PopupPoint = {x, y};
    const TPopupItems p = PopupMenuMainPopup(Editor, Clipboard, x, y);
    auto show = [&](const char* name, bool visible) {
        if (QAction* a = findChild<QAction*>(name)) a->setVisible(visible);
    };
    show("PMenuCut", p.Cut);
    show("PMenuCopy", p.Copy);
    show("PMenuPaste", p.Paste);
    show("PMenuSetShadow", p.SetShadow);
    show("PMenuDelShadow", p.DelShadow);
    show("PMenuCrop", p.Crop);
    show("PMenuRotate90", p.Rotate90);
    show("PMenuFlipHorizontally", p.FlipH);
    show("PMenuFlipVertically", p.FlipV);
    show("PMenuDelete", p.Delete);
    findChild<QMenu*>("PMenuLayer")->menuAction()->setVisible(p.Layer);
    show("PMenuDelMask", p.DelMask);
    show("PMenuDelSubFrame", p.DelFrame);
    show("PMenuDelFilter", p.DelFilter);
    show("PMenuChangephoto", p.ChangePhoto);
    show("PMenuDelBorder", p.DelBorder);
    bool any = false;
    for (QAction* a : PopupMenuMain->actions()) any = any || (a->isVisible() && !a->isSeparator());
    if (any) PopupMenuMain->popup(globalPos);
}

void TMainForm::CreateStatusBar() {
    PanelStatusBar = new QWidget(this);
    PanelStatusBar->setObjectName("PanelStatusBar");
    PanelStatusBar->setFixedHeight(26);
    PanelStatusBar->setAutoFillBackground(true);
    QPalette pal = PanelStatusBar->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    PanelStatusBar->setPalette(pal);
    auto* row = new QHBoxLayout(PanelStatusBar);
    row->setContentsMargins(8, 0, 8, 0);
    row->setSpacing(8);
    auto separator = [&](const char* name) {
        auto* f = new QFrame(PanelStatusBar);
        f->setObjectName(name);
        f->setFrameShape(QFrame::VLine);
        f->setFrameShadow(QFrame::Sunken);
        f->setFixedHeight(18);
        return f;
    };
    LabelSize = new QLabel(PanelStatusBar);
    LabelSize->setObjectName("LabelSize");
    LabelSaved = new QLabel(PanelStatusBar);
    LabelSaved->setObjectName("LabelSaved");
    LabelOperation = new QLabel(PanelStatusBar);
    LabelOperation->setObjectName("LabelOperation");
    LabelOperation->setAlignment(Qt::AlignCenter);
    LabelScale = new QLabel(PanelStatusBar);
    LabelScale->setObjectName("LabelScale");
    LabelScale->setMinimumWidth(40);
    LabelScale->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TrackBarScale = new QSlider(Qt::Horizontal, PanelStatusBar);
    TrackBarScale->setObjectName("TrackBarScale");
    TrackBarScale->setRange(3, 500);
    TrackBarScale->setSingleStep(1);
    TrackBarScale->setPageStep(10);
    TrackBarScale->setFixedWidth(180);
    TrackBarScale->setValue(100);
    row->addWidget(LabelSize);
    row->addWidget(separator("Bevel1"));
    row->addWidget(LabelSaved);
    row->addWidget(Bevel2 = separator("Bevel2"));
    row->addWidget(LabelOperation, 1);
    row->addWidget(Bevel3 = separator("Bevel3"));
    row->addWidget(LabelScale);
    row->addWidget(TrackBarScale);
    FZoomRebuild = new QTimer(this);
    FZoomRebuild->setSingleShot(true);
    FZoomRebuild->setInterval(120);
    connect(FZoomRebuild, &QTimer::timeout, this, [this] {
        if (!TrackBarScale->isSliderDown()) RunCommand([this] { Editor.TrackBarScaleMouseUp(); });
    });
    connect(TrackBarScale, &QSlider::valueChanged, this,
            [this](int v) { RunCommand([this, v] { suitempTrackBarScaleChange(v); }); });
    connect(TrackBarScale, &QSlider::sliderPressed, this,
            [this] { RunCommand([this] { TrackBarScaleMouseDown(); }); });
    connect(TrackBarScale, &QSlider::sliderReleased, this, [this] { TrackBarScaleMouseUp(); });
    ImageScreen->OnZoomWheel = [this](int steps, QPoint at) {
        FZoomAnchor = at;
        TrackBarScale->setValue(TrackBarScale->value() + steps * TrackBarScale->pageStep());
        FZoomAnchor.reset();
    };
}

// ---- Language ----

void TMainForm::BuildLanguageMenu() {
    BuildLanguageList();
    // the items go between the two separators, in the order the menu shows
    const QList<QAction*> actions = MenuLanguages->actions();
    QAction* secondSeparator = actions.size() > 2 ? actions[2] : nullptr;
    for (const TLanguageMenuEntry& e : LanguageMenu()) {
        auto* a = new QAction(QString::fromStdString(e.Caption).replace('&', "&&"), this);
        a->setObjectName(QString("MenuLanguage%1").arg(e.Index));
        a->setCheckable(true);
        a->setChecked(e.Index == LanguageIndex);
        FLanguageGroup->addAction(a);
        MenuLanguages->insertAction(secondSeparator, a);
        const int index = e.Index;
        connect(a, &QAction::triggered, this,
                [this, index] { RunCommand([this, index] { LanguageItemClick(index); }); });
        FLanguageItems.emplace_back(a, index);
    }
}

void TMainForm::LanguageItemClick(int index) {
    LanguageIndex = index;
    if (index == -1) MenuEnglish->setChecked(true);
    for (auto& [action, i] : FLanguageItems)
        if (i == index) action->setChecked(true);
    ApplyLanguage(index);
}

void TMainForm::ApplyLanguage(int index) {
    SetCurrentLanguage(index);
    for (const TTranslated& t : FTranslated) {
        if (!t.Target) continue;
        QString text = QString::fromStdString(Lang(t.Key) + t.Suffix);
        if (!t.Shortcut.empty()) text += "\t" + QString::fromStdString(t.Shortcut);
        if (auto* a = qobject_cast<QAction*>(t.Target.data()))
            a->setText(text);
        else if (auto* l = qobject_cast<QLabel*>(t.Target.data()))
            l->setText(text);
        else if (auto* b = qobject_cast<QAbstractButton*>(t.Target.data()))
            b->setText(text);
    }
    // the shortcut menu's twins of main-menu items: the caption without the
    // key shown after the tab
    for (const auto& [twin, main] : FTwins)
        if (twin && main) twin->setText(main->text().section('\t', 0, 0));
    NotebookPanel->RetranslateLabels([](const std::string& key) { return Lang(key); });
    NotebookPanel->TextPage->ApplyLanguage();
    FilterLanguageChanged();
    Doc.RelabelPlaceholders();
    DocumentStateChanged();
}

void TMainForm::SetOperationHint(const std::string& text) { LabelOperation->setText(QString::fromStdString(text)); }

// ---- Document observer ----

void TMainForm::DocumentStateChanged() {
    LabelSize->setText(QString::fromStdString(Doc.SizeLabel()));
    LabelSaved->setText(QString::fromStdString(Doc.SavedLabel()));
    setWindowTitle(QString::fromStdString(Doc.Caption()));
}

void TMainForm::RequestZoom(int percent) {
    const int before = TrackBarScale->value();
    TrackBarScale->setValue(percent);
    // the same position does not signal a change, but the page may be new
    if (TrackBarScale->value() == before) suitempTrackBarScaleChange(before);
}

void TMainForm::UndoRedoEnabled(bool undo, bool redo) {
    if (MenuUnDo) MenuUnDo->setEnabled(undo);
    if (MenuReDo) MenuReDo->setEnabled(redo);
}

void TMainForm::ToggleOutline(const std::vector<TPoint>& polygon, int penWidth) {
    TImageScreenWidget::TOutline o;
    for (const TPoint& p : polygon) o.Points.emplace_back(p.X, p.Y);
    o.PenWidth = penWidth;
    ImageScreen->ToggleOutline(o);
}

void TMainForm::FocusCanvas() {
    if (ImageScreen) ImageScreen->viewport()->setFocus(Qt::OtherFocusReason);
}

void TMainForm::CanvasGeometryChanged() {
    if (ImageScreen) ImageScreen->SyncGeometry();
}

// ---- Zoom ----

void TMainForm::suitempTrackBarScaleChange(int position) {
    LabelScale->setText(QString::number(position) + "%");
    if (FZoomAnchor)
        Doc.SetZoomAt(position, FZoomAnchor->x(), FZoomAnchor->y());
    else
        Doc.SetZoom(position);
    // A zoom that does not come from releasing the track bar (the keyboard,
    // the wheel, the fitting zoom of a new page) rebuilds the layers' screen
    // pictures too, once the changes have settled, so the canvas never stays
    // blurred or blocky at the new zoom.
    if (!TrackBarScale->isSliderDown()) FZoomRebuild->start();
}

void TMainForm::TrackBarScaleMouseDown() { Editor.TrackBarScaleMouseDown(); }

void TMainForm::TrackBarScaleMouseUp() {
    // a progress bar in the status panel while every layer rebuilds its
    // screen pictures at the new zoom
    auto* bar = new QProgressBar(PanelStatusBar);
    bar->setObjectName("ProgressBarZoom");
    const int left = Bevel2->geometry().right() + 3;
    const int right = Bevel3->geometry().left() - 3;
    bar->setGeometry(left, (PanelStatusBar->height() - 17) / 2, std::max(right - left, 10), 17);
    bar->setRange(0, std::max(Doc.LayerCount(), 1));
    bar->setTextVisible(false);
    bar->show();
    RunCommand([&] {
        Editor.TrackBarScaleMouseUp([&](int i, int) {
            bar->setValue(i);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    });
    bar->setValue(bar->maximum());
    delete bar;
}

// ---- Commands ----

void TMainForm::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::bad_alloc&) {
        ShowError(Lang("Not enough memory for this operation."));
    } catch (const std::exception& e) {
        ShowError(ErrorMessage(e));
    }
    DocumentStateChanged();
}

bool TMainForm::ModifiedProjectPrompt() {
    // A save that was cancelled or failed keeps the collage: nothing the
    // user asked to keep is dropped unsaved.
    return ConfirmSaveModified(Doc);
}

void TMainForm::ProjectReplaced() {
    Editor.ResetGestures();
    TextCommands.EndTyping();
    ImageScreen->ClearOutlines();
    DocumentStateChanged();
}

void TMainForm::PMenuNewProjectClick() {
    if (!ModifiedProjectPrompt()) return;
    RunNewProjectTemplateChooser(Doc, this);
    ProjectReplaced();
}

void TMainForm::Close1Click() { close(); }

void TMainForm::closeEvent(QCloseEvent* e) {
    // a save that failed keeps the window open with the collage in it
    bool mayClose = false;
    RunCommand([&] { mayClose = ModifiedProjectPrompt(); });
    if (mayClose)
        e->accept();
    else
        e->ignore();
}

bool TMainForm::OpenProjectFromOutside(const std::string& path) {
    if (!OpenProjectFile(Doc, path)) return false;
    ProjectReplaced();
    return true;
}

void TMainForm::FilesDropped(const QStringList& files) {
    if (files.isEmpty()) return;
    const QString last = files.last();
    if (QFileInfo(last).isFile() && LowerExtension(last.toStdString()) == ".clv")
        RunCommand([&] {
            if (ModifiedProjectPrompt()) OpenProjectFromOutside(last.toStdString());
        });
}

void TMainForm::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* e) {
    QStringList files;
    for (const QUrl& url : e->mimeData()->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    e->acceptProposedAction();
    FilesDropped(files);
}

// ---- Shortcuts ----

bool TMainForm::CanvasHasFocus() const {
    return ImageScreen && ImageScreen->viewport()->hasFocus();
}

bool TMainForm::RunNamed(const char* name) {
    auto it = FCommands.find(name);
    if (it == FCommands.end()) return false;
    const std::function<void()> command = it->second;
    RunCommand(command);
    return true;
}

bool TMainForm::HandleShortcut(int key, Qt::KeyboardModifiers modifiers) {
    const bool canvas = CanvasHasFocus();
    if (key == Qt::Key_F1) return RunNamed("MenuHelpContents");
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (!ctrl) {
        if (!canvas || (modifiers & (Qt::AltModifier | Qt::MetaModifier))) return false;
        switch (key) {
        case Qt::Key_Left: return RunNamed("NudgeLeft");
        case Qt::Key_Up: return RunNamed("NudgeUp");
        case Qt::Key_Right: return RunNamed("NudgeRight");
        case Qt::Key_Down: return RunNamed("NudgeDown");
        case Qt::Key_Delete: return RunNamed("MenuDelete");
        default: return false;
        }
    }
    const bool shift = modifiers & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_N: return RunNamed("PMenuNewProject");
    case Qt::Key_S: return RunNamed("MenuSaveasProject");
    default: break;
    }
    if (!canvas) return false;
    switch (key) {
    case Qt::Key_A: return RunNamed("MenuSelectAll");
    case Qt::Key_C: return RunNamed("MenuCopy");
    case Qt::Key_X: return RunNamed("MenuCut");
    case Qt::Key_V: return RunNamed("MenuPaste");
    case Qt::Key_F: return RunNamed("MenuFlipVertically");
    case Qt::Key_H: return RunNamed("MenuFlipHorizontally");
    case Qt::Key_I: return RunNamed("MenuZoomIn");
    case Qt::Key_O: return RunNamed("MenuZoomOut");
    case Qt::Key_P: return RunNamed("MenuPreview");
    // Redo also answers the keys Linux programs use for it
    case Qt::Key_R:
    case Qt::Key_Y: return RunNamed("MenuReDo");
    case Qt::Key_Z: return RunNamed(shift ? "MenuReDo" : "MenuUnDo");
    default: return false;
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && QApplication::activeModalWidget() == nullptr) {
        auto* k = static_cast<QKeyEvent*>(event);
        // one press runs its command once, whichever widget it went to first
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this &&
            HandleShortcut(k->key(), k->modifiers()))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
