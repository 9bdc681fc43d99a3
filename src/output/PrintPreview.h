#pragma once
// The print dialog's fields and how they pull on one another, without the
// widgets: position (top, left, "Center Image"), printed size (scale,
// height, width, "Scale to Fit Page") and the four unit lists. The dialog
// copies what the user typed or chose into here, calls the reaction, and
// shows the fields again. Sizes are screen pixels at one pixels-per-inch
// value until they are printed.

#include <optional>
#include <string>

#include "document/PrintSettings.h"
#include "output/PrintLayout.h"
#include "platform/Units.h"

enum class TPrintField { Top, Left, Height, Width };

// A number field with its unit list.
struct TPrintEdit {
    std::string Text;
    int Unit = 1;        // the unit the text is in: the list's last unit
    bool Enabled = true; // the field and its unit list
};

class TPrintPreviewModel {
public:
    TPrintPreviewModel(const TPrintSettings& settings, TPixelSize picture, TPixelSize page,
                       double ppi = PixelsPerInch());

    TPrintSettings Settings; // the dialog's copy; OK fills it
    TPixelSize Picture;      // the composed collage
    TPixelSize Page;         // the printable area in screen pixels
    double Ppi;

    TPrintEdit Top, Left, Height, Width;
    std::string Scale;
    bool ScaleEnabled = true;
    bool Center = true, CenterEnabled = true;
    bool FitPage = true;
    // What OK read from the height and width fields, in their units.
    double PrintHeight = 0, PrintWidth = 0;
    bool Ready = false;    // false while the fields are being filled
    bool Accepted = false; // OK went through

    // Where the miniature shows the picture (page pixels), as of the last
    // redraw; none when a field held no number then.
    std::optional<TDeviceRect> Shown;

    // Fills every field from the settings and applies the fit and centre
    // rules (the dialog being shown).
    void Show();
    void FitPageClick(bool checked);
    void CenterClick(bool checked);
    // The text of a field was edited.
    void TopChange();
    void LeftChange();
    void HeightChange();
    void WidthChange();
    void ScaleChange();
    // A unit list was set to unit. A field that holds no number keeps its
    // unit (the list goes back) and false comes back, after the message.
    bool UnitChange(TPrintField field, int unit);
    // The paper changed: new page size, fit and centre applied again.
    void PageChanged(TPixelSize page);
    // OK's reading, field by field: the first one that is no number shows
    // its message and stops (false); else Settings hold the fields.
    bool ReadFields();
    // ReadFields, and Accepted when it went through.
    bool OK();
    // The placement the fields describe, in screen pixels (left, top,
    // width, height); none when one of them is no number.
    std::optional<TDeviceRect> Placement() const;

    TPrintEdit& Edit(TPrintField field);
    // The message a field shows when it holds no number.
    static const char* NotANumber(TPrintField field);

private:
    void ApplyFit();
    void ApplyCenter();
    void Redraw();
    void ShowPixels(TPrintEdit& edit, int pixels, int decimals = 3) const;
    std::optional<int> Pixels(const TPrintEdit& edit) const;
};
