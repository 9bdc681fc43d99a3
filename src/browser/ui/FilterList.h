#pragma once
// TFilterList: the filter browser's grid. One 80 x 80 cell per registered
// filter, placed like every thumbnail grid, showing a small copy of
// SourceBmp run through the filter with its built-in defaults. A cell's
// caption is the filter's name, and a double-click reports that name.

#include <vector>

#include "browser/ui/PicFileList.h"
#include "filters/BmpFilter.h"

class TFilterList : public TPicFileList {
    Q_OBJECT
public:
    explicit TFilterList(QWidget* parent = nullptr);

    struct TFilterEntry {
        TPicPanel* Cell = nullptr;
        FilterProc Proc = nullptr;
        bool Preview = true;
    };

    // Registers a filter: its cell shows SourceBmp unfiltered until the next
    // SetSourceBmp; its tag is the running count (1, 2, ...).
    void AddFilter(const std::string& name, FilterProc proc, bool preview = true);
    // The caption and the name reported by filter `index` (a new language).
    void RenameFilter(int index, const std::string& name);
    const std::vector<TFilterEntry>& Filters() const { return FFilters; }

    const TBitmap32& SourceBmp() const { return FSourceBmp; }
    // SourceBmp := the picture fitted into 80 x 60; each filter whose
    // preview flag is on shows a copy of it through the filter.
    void SetSourceBmp(const TBitmap32& picture);

private:
    TBitmap32 FSourceBmp;
    std::vector<TFilterEntry> FFilters;
    int FTagCounter = 0;
};
