#pragma once
// The arithmetic and file rules behind the thumbnail grids, kept free of
// widgets so they can be tested and reused: where cell k stands, which files
// of a folder a grid shows, what a cell's caption reads and how two paths are
// compared when a cell is looked up by its file.

#include <string>
#include <vector>

#include "engine/Types.h"

// ---- Placement ----

// Sizes of a grid; the defaults are those of a new list.
struct TGridMetrics {
    int BoxPanelWidth = 80;
    int BoxPanelHeight = 80;
    int Border = 2;      // gap between cells and at the top/left edge
    int ExtraWidth = 40; // slack added to the width before the columns are counted

    int ColumnPitch() const { return BoxPanelWidth + Border; }
    // Ten pixels more than the cell and its gap: room under each row.
    int RowPitch() const { return BoxPanelHeight + Border + 10; }
};

// (width + ExtraWidth) div (BoxPanelWidth + Border), at least 1.
int GridColumns(int width, const TGridMetrics& m);

// Top-left corner of cell k (0-based) in a grid of `columns` columns, as seen
// through a view scrolled by (scrollX, scrollY).
TPoint CellPosition(int k, int columns, const TGridMetrics& m, int scrollX = 0, int scrollY = 0);

// ---- Which files a grid shows ----

struct TPicFilter {
    bool ShowPhoto = false; // only .PNG .GIF .BMP .JPG .JPEG
    bool ShowMask = false;  // only .MSK
    bool ShowFrame = false; // only .FRM
};

// The extension of a file name with its dot, upper-cased (ASCII), "" when
// the name has no dot.
std::string UpperExtension(const std::string& fileName);
// One of the seven picture extensions a grid can show.
bool IsPictureExtension(const std::string& upperExt);
// The filters applied one after another, then the seven extensions: a list
// with two filter flags set shows nothing, one without any shows all seven.
bool AcceptsFile(const std::string& fileName, const TPicFilter& filter);

// Names of the files of `folder` that the grid shows. Sub-folders are
// skipped, not descended; so are entries that are not regular files (FIFOs,
// sockets, dangling links), which could not be pictures and would block a
// reader. Linux returns directory entries in no useful order, so the names
// are sorted: without regard to case first, then byte-wise, which gives one
// fixed order on every machine. A folder that cannot be read gives nothing.
std::vector<std::string> ScanPictureFiles(const std::string& folder, const TPicFilter& filter);

// The name order used for files and categories (see ScanPictureFiles).
bool NameLess(const std::string& a, const std::string& b);

// folder + "/" + name, without doubling a separator the folder already ends in.
std::string JoinPath(const std::string& folder, const std::string& name);

// ---- Captions and paths ----

// The file-name part of a path (after the last '/'), without its extension
// when includeExt is false.
std::string CaptionText(const std::string& path, bool includeExt);

// Every run of consecutive '/' collapsed to one '/', and every run of '\'
// to one '\'; nothing else changes. Two cell paths are the same file when
// their collapsed forms are equal.
std::string CollapseSeparators(const std::string& path);
bool SamePicturePath(const std::string& a, const std::string& b);
