#include "output/PrintPreview.h"

#include <cstdint>

#include "language/Language.h"
#include "platform/Messages.h"

TPrintPreviewModel::TPrintPreviewModel(const TPrintSettings& settings, TPixelSize picture, TPixelSize page,
                                       double ppi)
    : Settings(settings), Picture(picture), Page(page), Ppi(ppi) {}

TPrintEdit& TPrintPreviewModel::Edit(TPrintField field) {
    switch (field) {
    case TPrintField::Top:
        return Top;
    case TPrintField::Left:
        return Left;
    case TPrintField::Height:
        return Height;
    case TPrintField::Width:
        break;
    }
    return Width;
}

const char* TPrintPreviewModel::NotANumber(TPrintField field) {
    switch (field) {
    case TPrintField::Top:
        return "Top must be float.";
    case TPrintField::Left:
        return "Left must be float.";
    case TPrintField::Height:
        return "Height must be float.";
    case TPrintField::Width:
        break;
    }
    return "Width must be float.";
}

void TPrintPreviewModel::ShowPixels(TPrintEdit& edit, int pixels, int decimals) const {
    edit.Text = FormatDecimals(FromPixels(TLengthUnit(edit.Unit), pixels, Ppi), decimals);
}

std::optional<int> TPrintPreviewModel::Pixels(const TPrintEdit& edit) const {
    const std::optional<double> v = ParseLength(edit.Text);
    if (!v) return std::nullopt;
    return ToPixels(TLengthUnit(edit.Unit), *v, Ppi);
}

std::optional<TDeviceRect> TPrintPreviewModel::Placement() const {
    const auto left = Pixels(Left), top = Pixels(Top), width = Pixels(Width), height = Pixels(Height);
    if (!left || !top || !width || !height) return std::nullopt;
    return TDeviceRect{*left, *top, *width, *height};
}

// ---- The two rules ----

void TPrintPreviewModel::ApplyFit() {
    ScaleEnabled = Height.Enabled = Width.Enabled = !FitPage;
    if (FitPage) {
        const TPixelSize fitted = FitToPage(Page, Picture);
        ShowPixels(Width, fitted.Width);
        ShowPixels(Height, fitted.Height);
        Scale = FormatDecimals(Picture.Height ? fitted.Height * 100.0 / Picture.Height : 0, 2);
        // a fitted picture is always centred
        Center = true;
        CenterEnabled = false;
        ApplyCenter();
    } else {
        ShowPixels(Width, Picture.Width);
        ShowPixels(Height, Picture.Height);
        Scale = "100.00";
        ApplyCenter();
        CenterEnabled = true;
    }
}

void TPrintPreviewModel::ApplyCenter() {
    Top.Enabled = Left.Enabled = !Center;
    if (!Center) return;
    const auto width = Pixels(Width), height = Pixels(Height);
    if (!width || !height) return;
    const TPoint at = CenterOnPage(Page, {*width, *height});
    ShowPixels(Left, at.X);
    ShowPixels(Top, at.Y);
}

void TPrintPreviewModel::Redraw() {
    if (!Ready) return;
    Shown = Placement();
    if (!Shown) ShowError(Lang("Scale value must be float."));
}

// ---- Reactions ----

void TPrintPreviewModel::Show() {
    Ready = false;
    Top.Text = FormatShortest(Settings.Top);
    Left.Text = FormatShortest(Settings.Left);
    Scale = FormatShortest(Settings.Scale);
    Top.Unit = Settings.TopUnit;
    Left.Unit = Settings.LeftUnit;
    Height.Unit = Settings.HeightUnit;
    Width.Unit = Settings.WidthUnit;
    FitPage = Settings.FitPage;
    ApplyFit();
    // a fitted picture stays centred even when the stored flag says
    // otherwise (the box is locked then)
    Center = Settings.Center || FitPage;
    ApplyCenter();
    Ready = true;
    Redraw();
    Accepted = false;
}

void TPrintPreviewModel::FitPageClick(bool checked) {
    FitPage = checked;
    ApplyFit();
    Redraw();
}

void TPrintPreviewModel::CenterClick(bool checked) {
    Center = checked;
    ApplyCenter();
    Redraw();
}

void TPrintPreviewModel::TopChange() {
    if (!ParseLength(Top.Text))
        ShowError(Lang(NotANumber(TPrintField::Top)));
    else
        Redraw();
}

void TPrintPreviewModel::LeftChange() {
    if (!ParseLength(Left.Text))
        ShowError(Lang(NotANumber(TPrintField::Left)));
    else
        Redraw();
}

void TPrintPreviewModel::HeightChange() {
    const auto h = Pixels(Height);
    if (!h) {
        ShowError(Lang(NotANumber(TPrintField::Height)));
        return;
    }
    const int w = Picture.Height ? int(int64_t(*h) * Picture.Width / Picture.Height) : 0;
    ShowPixels(Width, w);
    Scale = FormatDecimals(Picture.Width ? w * 100.0 / Picture.Width : 0, 3);
    if (Center) ApplyCenter();
    Redraw();
}

void TPrintPreviewModel::WidthChange() {
    const auto w = Pixels(Width);
    if (!w) {
        ShowError(Lang(NotANumber(TPrintField::Width)));
        return;
    }
    const int h = Picture.Width ? int(int64_t(*w) * Picture.Height / Picture.Width) : 0;
    ShowPixels(Height, h);
    Scale = FormatDecimals(Picture.Height ? h * 100.0 / Picture.Height : 0, 3);
    if (Center) ApplyCenter();
    Redraw();
}

void TPrintPreviewModel::ScaleChange() {
    if (!Ready) return;
    const std::optional<double> s = ParseLength(Scale);
    if (!s) {
        ShowError(Lang("Scale value must be float."));
        return;
    }
    ShowPixels(Height, Round(Picture.Height * *s / 100));
    ShowPixels(Width, Round(Picture.Width * *s / 100));
    ApplyCenter();
    Redraw();
}

bool TPrintPreviewModel::UnitChange(TPrintField field, int unit) {
    TPrintEdit& edit = Edit(field);
    if (unit == edit.Unit) return true;
    const std::optional<double> v = ParseLength(edit.Text);
    if (!v) {
        ShowError(Lang(NotANumber(field)));
        return false;
    }
    const int pixels = ToPixels(TLengthUnit(edit.Unit), *v, Ppi);
    edit.Text = FormatShortest(FromPixels(TLengthUnit(unit), pixels, Ppi));
    edit.Unit = unit;
    return true;
}

void TPrintPreviewModel::PageChanged(TPixelSize page) {
    Page = page;
    Ready = false;
    ApplyFit();
    ApplyCenter();
    Ready = true;
    Redraw();
}

bool TPrintPreviewModel::ReadFields() {
    TPrintSettings s = Settings;
    const auto read = [](const TPrintEdit& edit, TPrintField field, double& into) {
        const std::optional<double> v = ParseLength(edit.Text);
        if (!v) {
            ShowError(Lang(NotANumber(field)));
            return false;
        }
        into = *v;
        return true;
    };
    if (!read(Top, TPrintField::Top, s.Top) || !read(Left, TPrintField::Left, s.Left)) return false;
    s.TopUnit = Top.Unit;
    s.LeftUnit = Left.Unit;
    s.Center = Center;
    s.FitPage = FitPage;
    double height = 0, width = 0;
    if (!read(Height, TPrintField::Height, height) || !read(Width, TPrintField::Width, width)) return false;
    s.HeightUnit = Height.Unit;
    s.WidthUnit = Width.Unit;
    Settings = s;
    PrintHeight = height;
    PrintWidth = width;
    return true;
}

bool TPrintPreviewModel::OK() {
    if (!ReadFields()) return false;
    Accepted = true;
    return true;
}
