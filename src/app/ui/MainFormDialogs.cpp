// The main window's commands that open the crop, transparency, shadow and
// collage settings dialogs.

#include "app/ui/ImageScreenWidget.h"
#include "app/ui/MainForm.h"
#include "app/ui/SetForm.h"
#include "document/PageSettings.h"
#include "editing/AppearanceCommands.h"
#include "editing/ui/CropForm.h"
#include "editing/ui/ShadowForm.h"
#include "editing/ui/TransForm.h"

void TMainForm::CreateTransForm() {
    TransForm = new TTransForm(
        Editor, [this](const std::function<void()>& command) { RunCommand(command); }, this);
    TransForm->hide();
}

void TMainForm::CropDialog(TNewRotLayer* target) {
    if (!target) return;
    TCropForm form(*target, this);
    form.exec();
    if (form.Cut) ApplyCrop(Editor, *target, form.Result);
}

void TMainForm::SpeedButtonCropClick() {
    CropDialog(CropTarget(Editor, nullptr));
}

void TMainForm::PMenuCropClick() {
    CropDialog(CropTarget(Editor, &PopupPoint));
}

void TMainForm::SpeedButtonTransClick(QWidget* button) {
    if (!TransForm) return;
    if (TransForm->isVisible()) {
        TransForm->hide();
        return;
    }
    QPoint at;
    if (button) {
        const QPoint b = button->mapTo(this, QPoint(0, 0));
        at = {b.x() + button->width(), b.y() - (TransForm->height() - button->height()) / 2 + 80};
    } else {
        at = ImageScreen->mapTo(this, QPoint(8, 8));
    }
    TransForm->ShowFor(Editor.TopmostSelectedLayer(-1), mapToGlobal(at));
}

void TMainForm::LayerPicked(TNewRotLayer& layer) {
    if (TransForm && TransForm->isVisible()) TransForm->SetTarget(&layer);
}

void TMainForm::SpeedButtonShadowClick() {
    TShadowSession session(Editor);
    if (session.Empty()) return;
    TShadowForm form(
        session, [](const std::function<void()>& command) { command(); }, this);
    form.move(geometry().left() + 10, geometry().top() + 10);
    form.exec();
}

void TMainForm::MenuDelShadowClick() {
    ::MenuDelShadowClick(Editor);
}

bool TMainForm::EditCollageSettings() {
    TSetForm form(Doc.CollageSettings, ResourceRootPath, this);
    form.exec();
    if (!form.Accepted) return false;
    ChangeCollageSettings(Editor, form.Settings);
    return true;
}

void TMainForm::ButtonSetClick() {
    EditCollageSettings();
}
