#include "browser/ui/ShellTreeView.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QStandardPaths>

namespace {
constexpr int kPathRole = Qt::UserRole;
constexpr int kLoadedRole = Qt::UserRole + 1;

QString Clean(const std::string& path) {
    return QDir::cleanPath(QString::fromStdString(path));
}

// Whether path is folder itself or lies below it.
bool Holds(const QString& folder, const QString& path) {
    if (path == folder) return true;
    const QString prefix = folder.endsWith('/') ? folder : folder + '/';
    return path.startsWith(prefix);
}

QIcon FolderIcon() {
    static const QIcon icon = QFileIconProvider().icon(QFileIconProvider::Folder);
    return icon;
}
} // namespace

TShellTreeView::TShellTreeView(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setAnimated(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { Populate(item); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (FAutomatic) {
            FAutomaticChange = true;
            return;
        }
        if (current && OnChange) OnChange(current->data(0, kPathRole).toString().toStdString());
    });
}

std::vector<TShellTreeView::TPlace> TShellTreeView::DefaultPlaces(const std::string& samplePhotos,
                                                                  const std::string& homeCaption,
                                                                  const std::string& samplesCaption,
                                                                  const std::string& rootCaption) {
    std::vector<TPlace> places;
    const QString home = QDir::cleanPath(QDir::homePath());
    places.push_back({homeCaption, home.toStdString(), "user-home"});
    // XDG_PICTURES_DIR; a desktop without user directories points it at home
    const QString pictures =
        QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    if (!pictures.isEmpty() && pictures != home && QFileInfo(pictures).isDir())
        places.push_back(
            {QFileInfo(pictures).fileName().toStdString(), pictures.toStdString(), "folder-pictures"});
    if (!samplePhotos.empty() && QFileInfo(Clean(samplePhotos)).isDir())
        places.push_back({samplesCaption, Clean(samplePhotos).toStdString(), "folder-pictures"});
    places.push_back({rootCaption, "/", "drive-harddisk"});
    return places;
}

void TShellTreeView::SetPlaces(const std::vector<TPlace>& places) {
    FPlaces = places;
    FAutomatic = true; // clearing is no choice of the user's
    clear();
    FAutomatic = false;
    for (const TPlace& p : places) {
        const QIcon icon = QIcon::fromTheme(QString::fromStdString(p.Icon), FolderIcon());
        NewFolderItem(nullptr, QString::fromStdString(p.Caption), Clean(p.Path), icon);
    }
}

void TShellTreeView::SetPlaceCaptions(const std::vector<TPlace>& places) {
    for (int i = 0; i < topLevelItemCount() && i < int(places.size()); ++i) {
        topLevelItem(i)->setText(0, QString::fromStdString(places[size_t(i)].Caption));
        FPlaces[size_t(i)].Caption = places[size_t(i)].Caption;
    }
}

QTreeWidgetItem* TShellTreeView::NewFolderItem(QTreeWidgetItem* parent, const QString& caption,
                                               const QString& path, const QIcon& icon) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, caption);
    item->setIcon(0, icon);
    item->setData(0, kPathRole, path);
    item->setData(0, kLoadedRole, false);
    // whether it has sub-folders is found out when it is opened
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void TShellTreeView::Populate(QTreeWidgetItem* item) {
    if (item->data(0, kLoadedRole).toBool()) return;
    item->setData(0, kLoadedRole, true);
    const QString path = item->data(0, kPathRole).toString();
    const QDir dir(path);
    const QStringList names =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString& name : names) NewFolderItem(item, name, dir.filePath(name), FolderIcon());
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

std::string TShellTreeView::Path() const {
    const QTreeWidgetItem* i = currentItem();
    return i ? i->data(0, kPathRole).toString().toStdString() : std::string();
}

QTreeWidgetItem* TShellTreeView::ItemFor(const std::string& path) {
    const QString wanted = Clean(path);
    // the place that holds the folder most closely
    QTreeWidgetItem* item = nullptr;
    int best = -1;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QString p = topLevelItem(i)->data(0, kPathRole).toString();
        if (Holds(p, wanted) && p.size() > best) {
            best = int(p.size());
            item = topLevelItem(i);
        }
    }
    while (item) {
        const QString at = item->data(0, kPathRole).toString();
        if (at == wanted) return item;
        Populate(item);
        QTreeWidgetItem* next = nullptr;
        for (int c = 0; c < item->childCount() && !next; ++c)
            if (Holds(item->child(c)->data(0, kPathRole).toString(), wanted)) next = item->child(c);
        item = next;
    }
    return nullptr;
}

void TShellTreeView::Reveal(const std::string& path) {
    QTreeWidgetItem* item = ItemFor(path);
    if (!item) return;
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
    scrollToItem(item, QAbstractItemView::PositionAtCenter);
}

bool TShellTreeView::SelectFolder(const std::string& path) {
    if (!QFileInfo(Clean(path)).isDir()) return false;
    QTreeWidgetItem* item = ItemFor(path);
    if (!item) return false;
    Reveal(path);
    setCurrentItem(item);
    return true;
}

void TShellTreeView::focusInEvent(QFocusEvent* event) {
    // Qt makes the first row current when a view without one gets the focus;
    // that is no choice of the user's, and the home folder must not become
    // the photo folder
    FAutomatic = true;
    FAutomaticChange = false;
    QTreeWidget::focusInEvent(event);
    if (FAutomaticChange) setCurrentItem(nullptr);
    FAutomatic = false;
}
