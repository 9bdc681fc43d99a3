#pragma once
// TPicFileList: the thumbnail grid of one folder, and TMyScrollBox, the
// scroll area that holds its cells.
//
// Setting Directory lists the folder's accepted pictures at once: one cell
// per file, in name order, each showing a placeholder. The pictures are made
// on worker threads and arrive one by one; a file that turns out to make no
// picture leaves the grid and the cells after it move up, so the grid ends
// as if only readable files had been there. Choosing another folder drops
// whatever of the old one is still on its way.
//
// The list only shows and reports; what a click, double-click or drop means
// is decided by the host through the events.

#include <QScrollArea>
#include <QWidget>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "browser/PicGrid.h"
#include "browser/ui/PicPanel.h"

class QTimer;
class TThumbnailLoader;

class TMyScrollBox : public QScrollArea {
    Q_OBJECT
public:
    explicit TMyScrollBox(QWidget* parent = nullptr);

    // When a child gets the keyboard focus, scroll it into view only when
    // true. The grids leave it false: clicking a cell never makes them jump.
    bool ScrollOnFocus = false;
    // Pixels one wheel step moves the view (down for a negative delta).
    static constexpr int WheelStep = 10;

    // The widget the cells live on (logical grid coordinates).
    QWidget* Content() const { return widget(); }

    TNotifyEvent OnMouseEnter, OnMouseLeave;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
};

class TPicFileList : public QWidget {
    Q_OBJECT
public:
    explicit TPicFileList(QWidget* parent = nullptr);
    ~TPicFileList() override;

    // ---- Properties (copied into each cell when it is created) ----

    const std::string& Directory() const { return FDirectory; }
    // An existing folder other than the current one (exact comparison) is
    // stored and listed anew; anything else changes nothing.
    void SetDirectory(const std::string& folder);

    bool ShowPhoto = false; // only .PNG .GIF .BMP .JPG .JPEG
    bool ShowMask = false;  // only .MSK
    bool ShowFrame = false; // only .FRM
    bool ShowName = false;  // captions under the pictures
    bool IncludeExt = true; // captions keep the extension
    TColor32 BorderColor = 0xFF000000;
    TColor32 BKColor = 0xFF000000;
    TColor32 SelectBorderColor = 0xFF000000;
    TColor32 MouseOverColor = 0xFFFFFFFF;
    TFontSpec SelectFont; // a new default font
    int BoxPanelWidth = 80;
    int BoxPanelHeight = 80;
    int Border = 2;
    int ExtraWidth = 40;

    // The grid's own colour (background and the cells' colour). With
    // ParentColor it follows the parent widget's window colour.
    bool ParentColor = true;
    TColor32 Color = 0xFF000000;
    TColor32 EffectiveColor() const;
    // Caption font and colour of the cells when not selected.
    TFontSpec Font;

    // The last cell of the grid (the one created last) and the selected one.
    TPicPanel* PicPanel() const { return FCells.empty() ? nullptr : FCells.back(); }
    TPicPanel* SelectedPicPanel() const { return FSelected; }
    int Count() const { return int(FCells.size()); }
    TPicPanel* Cell(int index) const;
    const std::vector<TPicPanel*>& Cells() const { return FCells; }
    TMyScrollBox* ScrollBox() const { return FScrollBox; }
    TGridMetrics Metrics() const { return {BoxPanelWidth, BoxPanelHeight, Border, ExtraWidth}; }
    TPicFilter Filter() const { return {ShowPhoto, ShowMask, ShowFrame}; }

    // ---- Events ----
    TNotifyEvent OnClick;        // Sender: the list; after the selection moved
    TDblClickEvent OnDBLClick;   // Sender: the cell
    TMouseDownEvent OnMouseDown; // Sender: the cell's Image or MyLabel
    TEndDragEvent OnEndDrag;     // Sender: the cell
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TNotifyEvent OnMouseEnter, OnMouseLeave; // the grid or one of its cells

    // ---- Operations (nothing happens before the first Directory) ----

    // Appends a cell for every path that names an existing file, after the
    // last cell; the new cells are not selected.
    void AddFiles(const std::vector<std::string>& paths);
    // Removes the selected cell (not its file): the cells after it move one
    // place back and the one now in its place is selected -- or the one
    // before it when it was the last. No OnClick.
    void DeleteSelected();
    // Selects cell `index` (0-based) and scrolls it to the top of the view.
    bool SelectByIndex(int index);
    // Selects the first cell whose path equals `path` once runs of doubled
    // separators are collapsed in both, and scrolls it to the top.
    bool SelectByFileName(const std::string& path);

    // ---- Loading state ----
    // Thumbnails still on their way.
    int PendingThumbnails() const;
    bool Loading() const { return PendingThumbnails() > 0; }
    // The grid as the rescan rule places it: cell positions from the
    // scroll area's width.
    void PlaceCells(int from = 0);

signals:
    // Every thumbnail asked for so far has arrived (or its file dropped out).
    void ThumbnailsFinished();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // For grids whose cells come from elsewhere than a folder (the filter
    // list): a new, empty scroll box (the old one is discarded), and cell k
    // appended with the grid's look, placement and events.
    void NewScrollBox();
    TPicPanel* CreateCell(int k);
    void UpdateContentSize();

private:
    void Rescan();
    void StartLoad(TPicPanel* cell, const std::string& path);
    void ThumbnailArrived(uint64_t ticket, bool ok, TBitmap32& picture);
    void RemoveCell(TPicPanel* cell);
    void CellClick(TPicPanel* cell);
    void Select(TPicPanel* cell);
    void ChildEntered(QObject* sender);
    void ChildLeft(QObject* sender);
    void Discard(QWidget* widget);
    void FlushGraveyard();

    std::string FDirectory;
    TMyScrollBox* FScrollBox = nullptr;
    std::vector<TPicPanel*> FCells;
    TPicPanel* FSelected = nullptr;
    TPicPanel* FHoverCell = nullptr;
    TThumbnailLoader* FLoader = nullptr;
    std::unordered_map<uint64_t, QPointer<TPicPanel>> FTickets;
    std::unordered_map<TPicPanel*, uint64_t> FTicketOf;
    std::vector<QPointer<QWidget>> FGraveyard; // hidden, destroyed once no cell is busy
    QTimer* FFlushTimer = nullptr;
};
