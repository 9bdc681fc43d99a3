#include "browser/ui/ShellTreeView.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTimer>

TShellTreeView::TShellTreeView(QWidget* parent) : QTreeView(parent) {
    FModel = new QFileSystemModel(this);
    FModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    FModel->setReadOnly(true);
    FModel->setRootPath("/");
    setModel(FModel);
    // the single top entry is "/", so the home folder and everything else
    // can be reached
    for (int c = 1; c < FModel->columnCount(); ++c) hideColumn(c);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setAnimated(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // rows of a parent of the folder to reveal arrived: open the next level;
    // once the folder's own row is there the reveal is complete (later rows,
    // of files appearing in a watched folder, must not move the view)
    connect(FModel, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent) {
        if (FPendingReveal.isEmpty()) return;
        const QString p = FModel->filePath(parent);
        const QString prefix = p.endsWith('/') ? p : p + '/';
        if (!p.isEmpty() && FPendingReveal != p && !FPendingReveal.startsWith(prefix)) return;
        const QString target = FPendingReveal;
        if (QFileInfo(target).path() == p) FPendingReveal.clear();
        ExpandTowards(target, true);
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (FAutomatic) {
            FAutomaticChange = true;
            return;
        }
        if (current.isValid() && OnChange) OnChange(FModel->filePath(current).toStdString());
    });
}

std::string TShellTreeView::Path() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? FModel->filePath(i).toStdString() : std::string();
}

void TShellTreeView::ExpandTowards(const QString& path, bool center) {
    const QModelIndex i = FModel->index(path);
    if (!i.isValid()) return;
    for (QModelIndex p = i.parent(); p.isValid(); p = p.parent()) expand(p);
    const auto hint = center ? QAbstractItemView::PositionAtCenter : QAbstractItemView::EnsureVisible;
    (void)hint;
    // the view lays new rows out later: scroll when it has (updateGeometries)
    FScrollTarget = i;
    scheduleDelayedItemsLayout();
    QTimer::singleShot(3000, this, [this] { FScrollTarget = QPersistentModelIndex(); });
}

void TShellTreeView::focusInEvent(QFocusEvent* event) {
    // Qt makes the first row current when a view without one gets the focus;
    // that is no choice of the user's, and "/" must not become the photo
    // folder
    FAutomatic = true;
    FAutomaticChange = false;
    QTreeView::focusInEvent(event);
    if (FAutomaticChange) selectionModel()->clearCurrentIndex();
    FAutomatic = false;
}

void TShellTreeView::updateGeometries() {
    QTreeView::updateGeometries();
    if (FScrollTarget.isValid()) scrollTo(FScrollTarget, QAbstractItemView::PositionAtCenter);
}

void TShellTreeView::mousePressEvent(QMouseEvent* event) {
    // the user takes over
    FPendingReveal.clear();
    FScrollTarget = QPersistentModelIndex();
    QTreeView::mousePressEvent(event);
}

void TShellTreeView::wheelEvent(QWheelEvent* event) {
    FScrollTarget = QPersistentModelIndex();
    QTreeView::wheelEvent(event);
}

void TShellTreeView::Reveal(const std::string& path) {
    FPendingReveal = QDir::cleanPath(QString::fromStdString(path));
    ExpandTowards(FPendingReveal, true);
}

bool TShellTreeView::SelectFolder(const std::string& path) {
    const QString clean = QDir::cleanPath(QString::fromStdString(path));
    if (!QFileInfo(clean).isDir()) return false;
    const QModelIndex i = FModel->index(clean);
    if (!i.isValid()) return false;
    FPendingReveal = clean;
    ExpandTowards(clean, true);
    setCurrentIndex(i);
    return true;
}
