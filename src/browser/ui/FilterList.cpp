#include "browser/ui/FilterList.h"

#include "filters/FilterCommands.h"

TFilterList::TFilterList(QWidget* parent) : TPicFileList(parent) {
    MouseOverColor = 0xFFFFFFFF;
    NewScrollBox();
}

void TFilterList::AddFilter(const std::string& name, FilterProc proc, bool preview) {
    TPicPanel* cell = CreateCell(Count());
    cell->AssignBitmap(FSourceBmp);
    cell->SetCaption(name, name);
    cell->Tag = ++FTagCounter;
    FFilters.push_back({cell, proc, preview});
    UpdateContentSize();
}

void TFilterList::RenameFilter(int index, const std::string& name) {
    if (index < 0 || index >= int(FFilters.size())) return;
    FFilters[size_t(index)].Cell->SetCaption(name, name);
}

void TFilterList::SetSourceBmp(const TBitmap32& picture) {
    FSourceBmp = ThumbnailSource(picture);
    for (const TFilterEntry& f : FFilters)
        if (f.Preview) f.Cell->AssignBitmap(FilterThumbnail(FSourceBmp, f.Proc));
}
