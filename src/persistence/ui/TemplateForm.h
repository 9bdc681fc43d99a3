#pragma once
// The template chooser ("Template"): the thumbnails of one template category
// as a grid of tiles; choosing one opens its project as an untitled collage.

#include <QAbstractButton>
#include <QDialog>
#include <QImage>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;
class QWidget;
class TCollageDocument;

// One thumbnail: a picture of 162 x 141 pixels whose tag is the index of its
// thumbnail in the template paths.
class TTemplateTile : public QWidget {
    Q_OBJECT
public:
    TTemplateTile(QWidget* parent, int tag);
    QImage Picture; // drawn stretched over the tile
    int Tag = 0;

signals:
    void Clicked(TTemplateTile* tile);
    void DoubleClicked(TTemplateTile* tile);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// A category button showing one of its three pictures (normal, pointer over,
// pressed).
class TCategoryButton : public QAbstractButton {
    Q_OBJECT
public:
    TCategoryButton(QWidget* parent, int kind);
    QImage Normal, Over, Down;
    // Writes the caption onto the three pictures: bold 16-point white,
    // centred horizontally at y = 95.
    void WriteCaption(const QString& caption);
    QSize sizeHint() const override { return Normal.size(); }

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    bool FOver = false;
};

class TTemplateForm : public QDialog {
    Q_OBJECT
public:
    TTemplateForm(TCollageDocument& doc, QWidget* parent = nullptr);

    // The resource library (ResourceRoot), set by the caller before showing.
    std::string ResourceFolder;
    // Full path of each thumbnail shown, in grid order.
    std::vector<std::string> TemplatePaths;
    TTemplateTile* SelectedTile = nullptr;
    // Whether a template was opened (the dialog then closed).
    bool Opened() const { return FOpened; }

    TCategoryButton* suiImageButtonFree;
    TCategoryButton* suiImageButtonFilm;
    QPushButton* suiButtonOK;
    QPushButton* suiButtonCancel;
    QLabel* LabelGetTemplate;
    QWidget* PanelScreen;
    QScrollArea* Grid = nullptr; // rebuilt for each category

    const std::vector<TTemplateTile*>& Tiles() const { return FTiles; }

    // Rebuilds the grid from the thumbnails of a category folder
    // ("template/Free/") of the shipped library, then of the user's; when
    // neither exists the grid stays as it was.
    void FillGrid(const std::string& category);
    void SelectTile(TTemplateTile* tile);
    // Opens the tile's project as a template; closes the dialog when that
    // worked.
    void OpenTile(TTemplateTile* tile);

    // The picture every tile starts from (ImageBox).
    static QImage TileBackground();

    void suiButtonFreeClick();
    void suiImageButtonFilmClick();
    void suiButtonOKClick();
    void suiButtonCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();

    TCollageDocument& FDoc;
    std::vector<TTemplateTile*> FTiles;
    QWidget* FGridViewport = nullptr;
    bool FOpened = false;
    bool FShown = false;
};

// The body of New Project after the modified-project question: shows the
// chooser modally, and clears the history whether or not a template was
// chosen. True when a template was opened.
bool RunNewProjectTemplateChooser(TCollageDocument& doc, QWidget* parent);
// New Project (Ctrl+N, the start-up timer): the modified-project question,
// then the chooser.
bool NewProjectCommand(TCollageDocument& doc, QWidget* parent);
