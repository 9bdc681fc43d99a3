#pragma once
// The photo folder tree: folders only (no files), rooted where a Linux
// user's photos are -- the home folder, the Pictures folder of the XDG user
// directories, the sample photos of the library, and the file system root
// for everything else. Each place is a top-level entry; its sub-folders are
// read when it is opened (hidden folders left out). Choosing a folder --
// with either mouse button or the keyboard -- reports its path. The tree
// does not refresh by itself.

#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

class TShellTreeView : public QTreeWidget {
    Q_OBJECT
public:
    // One top-level entry: what it is called and where it leads.
    struct TPlace {
        std::string Caption;
        std::string Path;
        std::string Icon; // a theme icon name; the folder icon when the theme has none
    };

    explicit TShellTreeView(QWidget* parent = nullptr);

    // The places a user knows, in this order: home, Pictures (when it is a
    // folder of its own), the sample photos (when the folder exists) and "/".
    // Captions are the given texts; Pictures keeps its folder's own name.
    static std::vector<TPlace> DefaultPlaces(const std::string& samplePhotos, const std::string& homeCaption,
                                             const std::string& samplesCaption,
                                             const std::string& rootCaption);
    // Replaces the top-level entries (nothing is chosen afterwards).
    void SetPlaces(const std::vector<TPlace>& places);
    // Renames the places in place (a new language); the choice stays.
    void SetPlaceCaptions(const std::vector<TPlace>& places);
    const std::vector<TPlace>& Places() const { return FPlaces; }

    // The chosen folder ("" when none).
    std::string Path() const;
    // Chooses `path` under the place that holds it most closely (the sample
    // photos rather than "/"), opening its parents and scrolling it into
    // view; false when it is not a folder. OnChange follows as for a choice
    // by hand.
    bool SelectFolder(const std::string& path);
    // Opens the parents of `path` and scrolls it into view without choosing.
    void Reveal(const std::string& path);
    // The entry of a folder, opening the entries above it; nullptr when no
    // place holds it.
    QTreeWidgetItem* ItemFor(const std::string& path);

    // The chosen folder changed.
    std::function<void(const std::string& path)> OnChange;

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    QTreeWidgetItem* NewFolderItem(QTreeWidgetItem* parent, const QString& caption, const QString& path,
                                   const QIcon& icon);
    void Populate(QTreeWidgetItem* item);

    std::vector<TPlace> FPlaces;
    bool FAutomatic = false, FAutomaticChange = false;
};
