// The main window's part of the filter browser: registering the filters,
// the handlers of the filter list, the parameter page and "Del Filter", and
// keeping both sub-pages on the selected photo.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "app/ui/MainForm.h"
#include "browser/ui/FilterList.h"
#include "browser/ui/SidePanel.h"
#include "filters/ui/FilterParamPage.h"
#include "history/HeldPicture.h"
#include "language/Language.h"

namespace {

// The list's picture before any photo is chosen: a small landscape of sky,
// sun and hills, so that every filter shows what it does.
TBitmap32 SamplePicture() {
    TBitmap32 b(kThumbnailSourceWidth, kThumbnailSourceHeight);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const double hill = 38 + 8 * std::sin(x / 11.0) + 4 * std::cos(x / 5.0);
            TColor32 c;
            if (y > hill)
                c = Color32(uint8_t(40 + x / 2), uint8_t(120 + (y - 38) * 3 / 2), uint8_t(50 + x / 4));
            else if ((x - 58) * (x - 58) + (y - 16) * (y - 16) < 90)
                c = Color32(255, 214, 90);
            else
                c = Color32(uint8_t(90 + y * 2), uint8_t(150 + y * 2), 235);
            b.SetPixel(x, y, c);
        }
    return b;
}

} // namespace

void TMainForm::WireFilterPages() {
    // pictures of earlier runs' histories whose programs are gone
    CleanAbandonedHistoryFolders();

    TSidePanel& p = *NotebookPanel;
    TFilterList* list = p.FilterListPanel;
    list->SetSourceBmp(SamplePicture());
    const std::vector<std::string> names = FilterNames();
    for (int i = 0; i < kFilterCount; ++i)
        list->AddFilter(names[size_t(i)], FilterTable()[size_t(i)].Proc, true);
    list->SetSourceBmp(list->SourceBmp());
    list->OnDBLClick = [this](QObject* sender, const std::string& name) {
        FilterListPanelDBLClick(sender, name);
    };
    list->OnMouseEnter = [this](QObject*) { FilterListPanelMouseEnter(); };
    list->OnMouseLeave = [this](QObject*) { SetOperationHint(""); };
    connect(p.ImageButtonFilter, &QToolButton::clicked, this,
            [this] { RunCommand([this] { RefreshFilterPages(); }); });

    TFilterParamPage& page = *p.FilterParams;
    page.OnTrackBarChange = [this] { TrackBarParam1Change(); };
    page.OnCheckBoxClick = [this] { CheckBoxParam1Click(); };
    page.OnApply = [this] { suiButtonApplyClick(); };
    page.OnCancel = [this] { suiButtonCancelClick(); };

    if (auto* del = findChild<QAction*>("PMenuDelFilter")) {
        del->setEnabled(true);
        FCommands["PMenuDelFilter"] = [this] { PMenuDelFilterClick(); };
        connect(del, &QAction::triggered, this, [this] { RunNamed("PMenuDelFilter"); });
    }
}

void TMainForm::FilterLanguageChanged() {
    if (!NotebookPanel || !NotebookPanel->FilterListPanel) return;
    const std::vector<std::string> names = FilterNames();
    for (int i = 0; i < kFilterCount; ++i) NotebookPanel->FilterListPanel->RenameFilter(i, names[size_t(i)]);
    NotebookPanel->FilterParams->ApplyLanguage();
}

void TMainForm::FilterListPanelDBLClick(QObject* sender, const std::string& name) {
    RunCommand([&] {
        // the cell reports its filter's name in the current language
        const std::vector<std::string> names = FilterNames();
        int index = int(std::find(names.begin(), names.begin() + kFilterCount, name) - names.begin());
        if (index >= kFilterCount) {
            TPicPanel* cell = PicPanelOf(sender);
            index = cell ? cell->Tag - 1 : -1;
        }
        TFilterParamPage& page = *NotebookPanel->FilterParams;
        const TFilterClick done = ::FilterListPanelDBLClick(Editor, index, FilterPreview,
                                                            TPreviewImage::kWidth, TPreviewImage::kHeight);
        if (done == TFilterClick::Applied) {
            if (TNewRotLayer* photo = Editor.TopmostSelectedLayer(itPhoto))
                NotebookPanel->FilterListPanel->SetSourceBmp(photo->Picture);
        } else if (done == TFilterClick::OpenPage) {
            page.SetUp(index);
            if (FilterPreview.Mode == fmSketch)
                FilterPreview.CheckBoxClick(page.Values());
            else
                FilterPreview.TrackBarChange(page.Values());
            page.Image32FilterPhoto->SetPicture(FilterPreview.Picture);
            NotebookPanel->NotebookMod->ShowPage("Filter Parameter");
        }
    });
}

void TMainForm::FilterListPanelMouseEnter() {
    SetOperationHint(Lang("Selected a photo first and double click a filter to apply an effection"));
}

void TMainForm::TrackBarParam1Change() {
    RunCommand([this] {
        TFilterParamPage& page = *NotebookPanel->FilterParams;
        FilterPreview.Mode = page.Mode();
        FilterPreview.TrackBarChange(page.Values());
        page.Image32FilterPhoto->SetPicture(FilterPreview.Picture);
    });
}

void TMainForm::CheckBoxParam1Click() {
    RunCommand([this] {
        TFilterParamPage& page = *NotebookPanel->FilterParams;
        FilterPreview.Mode = page.Mode();
        FilterPreview.CheckBoxClick(page.Values());
        page.Image32FilterPhoto->SetPicture(FilterPreview.Picture);
    });
}

void TMainForm::suiButtonApplyClick() {
    RunCommand([this] {
        TFilterParamPage& page = *NotebookPanel->FilterParams;
        if (ApplyParamFilter(Editor, page.Mode(), page.Values()))
            if (TNewRotLayer* photo = Editor.TopmostSelectedLayer(itPhoto))
                NotebookPanel->FilterListPanel->SetSourceBmp(photo->Picture);
    });
    NotebookPanel->NotebookMod->ShowPage("Filter");
}

void TMainForm::suiButtonCancelClick() {
    NotebookPanel->NotebookMod->ShowPage("Filter");
}

void TMainForm::PMenuDelFilterClick() {
    ::PMenuDelFilterClick(Editor);
    RefreshFilterPages();
}

void TMainForm::RefreshFilterPages(TNewRotLayer* photo) {
    TSidePanel& p = *NotebookPanel;
    if (p.CurrentPage() != "Modify") return;
    if (!photo) photo = Editor.TopmostSelectedLayer(itPhoto);
    if (!photo || photo->ImageType != itPhoto) return;
    const std::string sub = p.NotebookMod->CurrentPage();
    if (sub == "Filter") {
        p.FilterListPanel->SetSourceBmp(photo->Picture);
    } else if (sub == "Filter Parameter") {
        TFilterParamPage& page = *p.FilterParams;
        FilterPreview.Load(photo->Picture, TPreviewImage::kWidth, TPreviewImage::kHeight);
        FilterPreview.Mode = page.Mode();
        if (FilterPreview.Mode == fmSketch)
            FilterPreview.CheckBoxClick(page.Values());
        else
            FilterPreview.TrackBarChange(page.Values());
        page.Image32FilterPhoto->SetPicture(FilterPreview.Picture);
    }
}

void TMainForm::PhotoPicked(TNewRotLayer& layer) {
    RefreshFilterPages(&layer);
}

void TMainForm::PicturesReplaced() {
    RefreshFilterPages();
}
