#pragma once
// The six thumbnail grids of the main window, each with its filter, sizes,
// colours and fonts.

class QFont;
class QWidget;
class TFilterList;
class TPicFileList;

// The grids' caption font: Tahoma, 8 point -- or, where Tahoma is not
// installed, the window font's family at 8 point.
QFont ListFont();

// Photos: pictures with captions (white, yellow when selected) on black;
// red selection, lime hover.
TPicFileList* CreatePhotoList(QWidget* parent);
// Masks (.msk) on black.
TPicFileList* CreateMaskList(QWidget* parent);
// Sub-frames (.frm) on the parent's colour.
TPicFileList* CreateSubFrameList(QWidget* parent);
// Border frames (.frm) on black.
TPicFileList* CreateFrameList(QWidget* parent);
// Cliparts (pictures) on the parent's colour.
TPicFileList* CreateClipartList(QWidget* parent);
// Text textures: every picture extension, small 47 x 47 cells with white
// boxes; navy selection, blue hover.
TPicFileList* CreateTextureList(QWidget* parent);
// The filter browser: captions (yellow when selected) under 80 x 80 cells
// with black boxes; silver borders, red selection, lime hover.
TFilterList* CreateFilterList(QWidget* parent);
