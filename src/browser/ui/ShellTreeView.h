#pragma once
// The photo folder tree: the file system's folders (no files) from "/"
// down, with the platform's folder icons. Choosing a folder -- with either
// mouse button or the keyboard -- reports its path.

#include <QPersistentModelIndex>
#include <QTreeView>
#include <functional>
#include <string>

class QFileSystemModel;

class TShellTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit TShellTreeView(QWidget* parent = nullptr);

    QFileSystemModel* Model() const { return FModel; }
    // The chosen folder ("" when none).
    std::string Path() const;
    // Chooses `path`, opening its parents and scrolling it into view; false
    // when it is not a folder. OnChange follows as for a choice by hand.
    bool SelectFolder(const std::string& path);
    // Opens the parents of `path` and scrolls it into view without choosing.
    void Reveal(const std::string& path);

    // The chosen folder changed.
    std::function<void(const std::string& path)> OnChange;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void updateGeometries() override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void ExpandTowards(const QString& path, bool center);

    QFileSystemModel* FModel = nullptr;
    // The folders load in the background: a folder to be revealed is opened
    // again as each of its parents arrives.
    QString FPendingReveal;
    QPersistentModelIndex FScrollTarget; // kept in view until the user scrolls
    bool FAutomatic = false, FAutomaticChange = false;
};
