#pragma once
// File dialogs shown with QFileDialog.

#include <QPointer>
#include <QWidget>

#include "platform/Dialogs.h"

class TQtDialogs final : public TDialogService {
public:
    explicit TQtDialogs(QWidget* owner) : FOwner(owner) {}
    TFileDialogResult OpenFile(const TFileDialogRequest& request) override;
    TFileDialogResult SaveFile(const TFileDialogRequest& request) override;

private:
    TFileDialogResult Run(const TFileDialogRequest& request, bool save);
    QPointer<QWidget> FOwner;
};

// "Caption|*.a;*.b|Other|*.c" -> {"Caption (*.a *.b)", "Other (*.c)"}, the
// captions in the current language.
QStringList TranslateFilter(const std::string& filter);
