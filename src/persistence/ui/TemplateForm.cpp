#include "persistence/ui/TemplateForm.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "document/CollageDocument.h"
#include "engine/PictureUtils.h"
#include "language/Language.h"
#include "persistence/ProjectCommands.h"
#include "persistence/ProjectFile.h"
#include "persistence/Templates.h"
#include "platform/Messages.h"
#include "platform/Paths.h"

namespace {

constexpr QRgb kBlue = 0xFF0000FF; // the platform's 0xFF0000 (blue in BGR order)
constexpr int kButtonWidth = 128, kButtonHeight = 124;
constexpr int kWheelLine = 24; // pixels the grid moves per wheel step

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The 2-pixel outline of (9, 9)-(150, 108), inside that rectangle.
void MarkTile(QImage& picture, QRgb colour) {
    QPainter p(&picture);
    const QColor c = QColor::fromRgba(colour);
    p.fillRect(9, 9, 141, 2, c);
    p.fillRect(9, 106, 141, 2, c);
    p.fillRect(9, 9, 2, 99, c);
    p.fillRect(148, 9, 2, 99, c);
}

// The picture of a category button: a rounded, shaded plate with a small
// drawing of what the category holds (loose tilted photos, or a grid).
QImage ButtonPicture(int kind, int state) {
    QImage img(kButtonWidth, kButtonHeight, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const int shift = state == 2 ? 1 : 0;
    const QRectF plate(2 + shift, 2 + shift, kButtonWidth - 5, kButtonHeight - 5);
    QColor top = kind == 0 ? QColor(247, 150, 92) : QColor(62, 164, 190);
    QColor bottom = kind == 0 ? QColor(214, 84, 62) : QColor(36, 98, 160);
    if (state == 1) {
        top = top.lighter(112);
        bottom = bottom.lighter(112);
    } else if (state == 2) {
        top = top.darker(112);
        bottom = bottom.darker(112);
    }
    // soft drop shadow
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(plate.translated(2, 2), 14, 14);
    QLinearGradient g(plate.topLeft(), plate.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setBrush(g);
    p.setPen(QPen(bottom.darker(130), 1));
    p.drawRoundedRect(plate, 14, 14);
    // gloss on the upper half
    QLinearGradient gloss(plate.topLeft(), QPointF(plate.left(), plate.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 90));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawRoundedRect(plate.adjusted(3, 3, -3, -plate.height() / 2), 11, 11);

    auto photo = [&](QPointF centre, double w, double h, double angle) {
        p.save();
        p.translate(centre + QPointF(shift, shift));
        p.rotate(angle);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawRect(QRectF(-w / 2 + 2, -h / 2 + 2, w, h));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(-w / 2, -h / 2, w, h));
        QLinearGradient sky(0, -h / 2 + 3, 0, h / 2 - 3);
        sky.setColorAt(0, QColor(120, 180, 235));
        sky.setColorAt(1, QColor(90, 160, 90));
        p.setBrush(sky);
        p.drawRect(QRectF(-w / 2 + 3, -h / 2 + 3, w - 6, h - 6));
        p.restore();
    };
    if (kind == 0) {
        photo({40, 42}, 40, 30, -14);
        photo({86, 38}, 38, 30, 10);
        photo({64, 62}, 44, 32, -3);
    } else {
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c) photo({30.0 + c * 34, 34.0 + r * 30}, 30, 26, 0);
    }
    return img;
}

} // namespace

// ---- Tiles ----

TTemplateTile::TTemplateTile(QWidget* parent, int tag) : QWidget(parent), Tag(tag) {
    setFixedSize(kTileWidth, kTileHeight);
    setCursor(Qt::PointingHandCursor);
}

void TTemplateTile::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(rect(), Picture);
}

void TTemplateTile::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit Clicked(this);
}

void TTemplateTile::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit DoubleClicked(this);
}

// ---- Category buttons ----

TCategoryButton::TCategoryButton(QWidget* parent, int kind) : QAbstractButton(parent) {
    Normal = ButtonPicture(kind, 0);
    Over = ButtonPicture(kind, 1);
    Down = ButtonPicture(kind, 2);
    setFixedSize(Normal.size());
    setCursor(Qt::PointingHandCursor);
}

void TCategoryButton::WriteCaption(const QString& caption) {
    setText(caption); // painted below; kept as the button's text for accessibility
    QFont font;
    font.setPointSize(16);
    font.setBold(true);
    for (QImage* img : {&Normal, &Over, &Down}) {
        QPainter p(img);
        p.setFont(font);
        p.setPen(Qt::white);
        const int w = p.fontMetrics().horizontalAdvance(caption);
        p.drawText(QRect((img->width() - w) / 2, 95, w + 1, img->height() - 95), Qt::AlignLeft | Qt::AlignTop,
                   caption);
    }
    update();
}

void TCategoryButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, isDown() ? Down : (FOver ? Over : Normal));
}

void TCategoryButton::enterEvent(QEnterEvent*) {
    FOver = true;
    update();
}

void TCategoryButton::leaveEvent(QEvent*) {
    FOver = false;
    update();
}

// ---- The dialog ----

QImage TTemplateForm::TileBackground() {
    QImage img(kTileWidth, kTileHeight, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // a card with a faint shadow on its right and lower edges
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 220, 230));
    p.drawRoundedRect(QRectF(2, 2, kTileWidth - 2, kTileHeight - 2), 7, 7);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(196, 204, 218), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, kTileWidth - 3, kTileHeight - 3), 7, 7);
    // the caption band below the thumbnail area
    QPainterPath band;
    band.addRoundedRect(QRectF(1, 113, kTileWidth - 4, kTileHeight - 117), 6, 6);
    QLinearGradient g(0, 113, 0, kTileHeight - 4);
    g.setColorAt(0, QColor(241, 245, 252));
    g.setColorAt(1, QColor(224, 233, 247));
    p.setPen(Qt::NoPen);
    p.fillPath(band, g);
    p.setPen(QPen(QColor(210, 220, 236), 1));
    p.drawLine(QPointF(6, 112.5), QPointF(kTileWidth - 9, 112.5));
    return img;
}

TTemplateForm::TTemplateForm(TCollageDocument& doc, QWidget* parent) : QDialog(parent), FDoc(doc) {
    ResourceFolder = ResourceRoot();
    setModal(true);
    resize(720, 560);

    suiImageButtonFree = new TCategoryButton(this, 0);
    suiImageButtonFilm = new TCategoryButton(this, 1);
    suiButtonOK = new QPushButton(this);
    suiButtonCancel = new QPushButton(this);
    LabelGetTemplate = new QLabel(this);
    PanelScreen = new QWidget(this);
    PanelScreen->setLayout(new QVBoxLayout);
    PanelScreen->layout()->setContentsMargins(0, 0, 0, 0);

    auto* categories = new QVBoxLayout;
    categories->addWidget(suiImageButtonFree);
    categories->addWidget(suiImageButtonFilm);
    categories->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(categories);
    top->addWidget(PanelScreen, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(LabelGetTemplate);
    bottom->addStretch();
    bottom->addWidget(suiButtonOK);
    bottom->addWidget(suiButtonCancel);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top, 1);
    all->addLayout(bottom);

    connect(suiImageButtonFree, &QAbstractButton::clicked, this, &TTemplateForm::suiButtonFreeClick);
    connect(suiImageButtonFilm, &QAbstractButton::clicked, this, &TTemplateForm::suiImageButtonFilmClick);
    // opening a template is a command of its own, inside the dialog's loop
    connect(suiButtonOK, &QPushButton::clicked, this, [this] { RunGuarded([this] { suiButtonOKClick(); }); });
    connect(suiButtonCancel, &QPushButton::clicked, this, &TTemplateForm::suiButtonCancelClick);
    connect(LabelGetTemplate, &QLabel::linkActivated, this,
            [](const QString& link) { QDesktopServices::openUrl(QUrl(link)); });
}

void TTemplateForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TTemplateForm::FormShow() {
    setWindowTitle(Q(Lang("Template")));
    suiButtonOK->setText(Q(Lang("&OK")));
    suiButtonCancel->setText(Q(Lang("&Cancel")));
    SelectedTile = nullptr;
    FillGrid(ResourceFolder + "template/Free/");
    suiImageButtonFree->WriteCaption(Q(Lang("Free")));
    suiImageButtonFilm->WriteCaption(Q(Lang("Collage")));
    // more templates are whatever the user adds to the library's folder
    const QUrl folder = QUrl::fromLocalFile(Q(ResourceFolder + "template/"));
    LabelGetTemplate->setText("<a href=\"" + folder.toString() + "\">" +
                              Q(Lang("Click Here to Get More Templates")).toHtmlEscaped() + "</a>");
}

void TTemplateForm::FillGrid(const std::string& folder) {
    if (!DirectoryExists(folder)) return;
    SelectedTile = nullptr;
    FTiles.clear();
    TemplatePaths.clear();
    // the old grid goes first; its viewport's last events must not reach the
    // wheel filter through a half-destroyed grid
    QScrollArea* old = Grid;
    Grid = nullptr;
    FGridViewport = nullptr;
    delete old;
    Grid = new QScrollArea(PanelScreen);
    Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Grid->verticalScrollBar()->setTracking(true);
    Grid->verticalScrollBar()->setSingleStep(kWheelLine);
    Grid->setFocusPolicy(Qt::StrongFocus);
    FGridViewport = Grid->viewport();
    FGridViewport->installEventFilter(this);
    PanelScreen->layout()->addWidget(Grid);

    auto* surface = new QWidget;
    surface->setAutoFillBackground(true);
    QPalette pal = surface->palette();
    pal.setColor(QPalette::Window, Qt::white);
    surface->setPalette(pal);
    Grid->setPalette(pal);

    const QImage background = TileBackground();
    QFont tileFont;
    tileFont.setPointSize(9);
    int n = 1;
    for (const std::string& path : TemplateThumbnails(folder)) {
        auto* tile = new TTemplateTile(surface, int(TemplatePaths.size()));
        tile->move(TileLeft(n), TileTop(n));
        tile->Picture = background;
        TemplatePaths.push_back(path);
        QImage thumb;
        try {
            TBitmap32 bitmap;
            if (LoadPicture32(path, bitmap)) thumb = bitmap.ToImage();
        } catch (const std::exception&) {
            // an unreadable thumbnail leaves the tile with its caption only
        }
        QPainter p(&tile->Picture);
        if (!thumb.isNull()) p.drawImage((159 - thumb.width()) / 2, (116 - thumb.height()) / 2, thumb);
        p.setFont(tileFont);
        p.setPen(QColor::fromRgba(kBlue));
        p.drawText(QRect(7, 118, kTileWidth - 7, kTileHeight - 118),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Q(TemplateCaption(path)));
        p.end();
        connect(tile, &TTemplateTile::Clicked, this, &TTemplateForm::SelectTile);
        connect(tile, &TTemplateTile::DoubleClicked, this,
                [this](TTemplateTile* t) { RunGuarded([this, t] { OpenTile(t); }); });
        FTiles.push_back(tile);
        ++n;
    }
    const int rows = (int(FTiles.size()) + 2) / 3;
    surface->setFixedSize(3 * 170 + 8, std::max(rows * 149 + 8, 1));
    Grid->setWidget(surface);
    Grid->setMinimumWidth(surface->width() + Grid->verticalScrollBar()->sizeHint().width() + 4);
    Grid->show();
}

void TTemplateForm::SelectTile(TTemplateTile* tile) {
    if (SelectedTile) {
        MarkTile(SelectedTile->Picture, 0xFFFFFFFF);
        SelectedTile->update();
    }
    MarkTile(tile->Picture, kBlue);
    tile->update();
    SelectedTile = tile;
    if (Grid) Grid->setFocus();
}

void TTemplateForm::OpenTile(TTemplateTile* tile) {
    if (!tile || tile->Tag < 0 || tile->Tag >= int(TemplatePaths.size())) return;
    const std::string project = TemplateProjectFor(TemplatePaths[size_t(tile->Tag)]);
    if (!FileExists(project)) return;
    if (LoadProject(FDoc, project, true)) {
        FOpened = true;
        accept();
    }
}

void TTemplateForm::suiButtonFreeClick() {
    FillGrid(ResourceFolder + "template/Free/");
    SelectedTile = nullptr;
    if (Grid) Grid->setFocus();
}

void TTemplateForm::suiImageButtonFilmClick() {
    FillGrid(ResourceFolder + "template/Collage/");
    SelectedTile = nullptr;
    if (Grid) Grid->setFocus();
}

void TTemplateForm::suiButtonOKClick() {
    if (SelectedTile)
        OpenTile(SelectedTile);
    else
        reject();
}

void TTemplateForm::suiButtonCancelClick() {
    reject();
}

bool TTemplateForm::eventFilter(QObject* watched, QEvent* event) {
    if (Grid && watched == FGridViewport && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y();
        if (delta != 0)
            Grid->verticalScrollBar()->triggerAction(delta < 0 ? QAbstractSlider::SliderSingleStepAdd
                                                               : QAbstractSlider::SliderSingleStepSub);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool RunNewProjectTemplateChooser(TCollageDocument& doc, QWidget* parent) {
    bool opened = false;
    {
        TTemplateForm form(doc, parent);
        form.ResourceFolder = ResourceRoot();
        form.exec();
        opened = form.Opened();
    }
    doc.UndoHistory.Clear();
    return opened;
}

bool NewProjectCommand(TCollageDocument& doc, QWidget* parent) {
    if (!ConfirmSaveModified(doc)) return false;
    return RunNewProjectTemplateChooser(doc, parent);
}
