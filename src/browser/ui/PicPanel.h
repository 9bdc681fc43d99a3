#pragma once
// TPicPanel: one thumbnail cell of a grid -- a picture area painted on the
// cell's canvas, with an optional caption under it. The filter browser uses
// cells on their own (AssignBitmap); the grids create them by the hundred
// and let their pictures arrive later (BeginLoad / SetThumbnail).
//
// The cell has two children, `Image` (the picture control that shows the
// canvas) and `MyLabel` (the caption). Both report their pointer and drag
// events through the cell's events with themselves as Sender. A drag never
// starts by itself: the host asks for one from its OnMouseDown handler with
// BeginDrag, and it begins once the pointer has moved past the platform's
// drag distance.

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "engine/Bitmap32.h"
#include "engine/Layers.h"

class QDrag;
class QLabel;

// The MIME type of a thumbnail drag inside the program: the picture's full
// path as UTF-8. The drag also carries text/uri-list for other programs.
inline constexpr char kPictureMimeType[] = "application/x-velmora-picture";

enum class TDragOverState { Enter, Leave, Move };

using TNotifyEvent = std::function<void(QObject* sender)>;
using TDblClickEvent = std::function<void(QObject* sender, const std::string& fileName)>;
using TMouseDownEvent =
    std::function<void(QObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
// target: the widget the drag was dropped on (nullptr when it was dropped
// nowhere in the program or cancelled); (x, y) in the target's coordinates.
using TEndDragEvent =
    std::function<void(const std::string& fileName, QObject* sender, QWidget* target, int x, int y)>;
using TDragOverEvent = std::function<void(const std::string& fileName, QObject* sender, QObject* source,
                                          int x, int y, TDragOverState state, bool& accept)>;
using TDragDropEvent =
    std::function<void(const std::string& fileName, QObject* sender, QObject* source, int x, int y)>;

// A font together with its colour (a caption's look).
struct TFontSpec {
    QFont Font;
    QColor Color{Qt::black};
};

class TPicPanel : public QWidget {
    Q_OBJECT
public:
    explicit TPicPanel(QWidget* parent = nullptr);
    ~TPicPanel() override;

    // ---- Properties ----

    // Caption source: setting it shows the file-name part of the value
    // (without extension unless IncludeExt), centred under the picture.
    const std::string& Text() const { return FText; }
    void SetText(const std::string& value);
    // What the caption label reads.
    std::string Caption() const;
    // A caption that is not a file name (the filter list's): shown as it is,
    // a CR or LF starting a new line; fileName is what a double-click
    // reports.
    void SetCaption(const std::string& caption, const std::string& fileName);
    // A number the owner gives the cell (the filter list counts 1, 2, ...).
    int Tag = 0;
    // Full path of the picture shown.
    const std::string& FileName() const { return FFileName; }
    bool Selected() const { return FSelected; }
    void SetSelected(bool value);
    bool ShowName() const { return FShowName; }
    void SetShowName(bool value);
    bool IncludeExt = true;
    TColor32 BorderColor = 0xFF808080;
    TColor32 BKColor = 0xFFFFFFFF;
    TColor32 SelectBorderColor = 0xFF000000;
    TColor32 MouseOverColor = 0xFFFFFFFF;
    // Caption font of a selected cell (a copy of the owner's).
    TFontSpec SelectFont;

    // The cell's own colour (taken from the parent at creation) and the
    // caption's font when not selected.
    TColor32 Color() const { return FColor; }
    void SetColor(TColor32 color);
    const TFontSpec& CaptionFont() const { return FCaptionFont; }
    void SetCaptionFont(const TFontSpec& font);

    TBitmap32& Canvas() { return FCanvas; }
    QWidget* Image = nullptr;
    QLabel* MyLabel = nullptr;
    // Destination of the last AssignBitmap picture.
    TRect PicRect{0, 0, 100, 100};
    // Where the current picture is drawn (LoadFromFile / SetThumbnail too).
    const TRect& PictureRect() const { return FPictureDest; }
    // H': the cell height less the caption's lines when the caption is shown.
    int PictureHeight() const;
    bool Hovered() const { return FHover; }
    // Waiting for its picture (shows a placeholder).
    bool Loading() const { return FLoading; }
    bool HasPicture() const { return !FPicture.Empty(); }

    // ---- Events ----
    TNotifyEvent OnClick;      // Sender: Image or MyLabel
    TDblClickEvent OnDBLClick; // Sender: the cell
    TMouseDownEvent OnMouseDown;
    TEndDragEvent OnEndDrag; // Sender: the cell
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TNotifyEvent OnMouseEnter, OnMouseLeave;

    // ---- Pictures ----

    // Makes the thumbnail of a file at once, on this thread. Nothing happens
    // for a missing file (false). False also when the file makes no picture:
    // the grid then drops the cell.
    bool LoadFromFile(const std::string& path);
    // The first half of LoadFromFile: caption and file name set, the cell
    // painted with a placeholder. Returns the area the thumbnail must be
    // fitted into (W - 6 by H' - 6).
    QSize BeginLoad(const std::string& path);
    // The second half: a thumbnail already fitted to that area, centred.
    void SetThumbnail(TBitmap32&& thumbnail);
    // Shows a picture fitted and centred like a thumbnail, stretched into
    // PicRect, alpha ignored.
    void AssignBitmap(const TBitmap32& bitmap);
    void AssignBitmap(const QImage& bitmap);

    // ---- Dragging ----

    // Arms a drag from `source` (Image, MyLabel or the cell; default Image)
    // that starts when the pointer, still pressed, has moved the platform's
    // drag distance from where it went down -- or at once when `immediate`.
    // Call it from OnMouseDown.
    void BeginDrag(QObject* source = nullptr, bool immediate = false);
    // True while a thumbnail drag is running (its event loop is active).
    static bool Dragging();
    // True while a drag runs or a cell is inside one of its event handlers
    // (host code): cells must then not be destroyed, only hidden, and
    // destroyed once Busy() is false again.
    static bool Busy();
    // Runs the drag instead of QDrag::exec when set (tests drop the drag on
    // a widget of their choice by sending it a QDropEvent from here).
    static std::function<Qt::DropAction(QDrag*)> DragRunner;

    // Repaints the canvas from the cell's state.
    void Render();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void StartDrag(QObject* source);
    void UpdateLabel();
    void PlaceLabel();
    TFontSpec ActiveLabelFont() const;

    std::string FText, FFileName;
    bool FSelected = false, FShowName = false, FHover = false, FLoading = false;
    TColor32 FColor = 0xFFF0F0F0;
    TFontSpec FCaptionFont;
    QString FCaption; // the whole caption; the label may show it shortened
    TBitmap32 FCanvas;
    TBitmap32 FPicture;
    TRect FPictureDest;

    // pointer state of the children
    QPointer<QObject> FPressChild;
    QPoint FPressPos; // in the pressed child's coordinates
    bool FClickArmed = false;
    bool FDragArmed = false;
    QPointer<QObject> FDragSource;
};

// The cell a Sender of the cell's events belongs to (the cell itself, its
// picture control or its caption), or nullptr.
TPicPanel* PicPanelOf(QObject* sender);
