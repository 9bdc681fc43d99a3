#include "platform/ui/QtDialogs.h"

#include <QFileDialog>

#include "language/Language.h"

QStringList TranslateFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        // Qt shows the patterns after the caption; captions that already
        // carry them keep their own text in front. Commands name the
        // filters in English; they are shown in the current language.
        out << QString::fromStdString(Lang(parts[i].toStdString())) + " (" + patterns + ")";
    }
    return out;
}

TFileDialogResult TQtDialogs::Run(const TFileDialogRequest& request, bool save) {
    const QString caption =
        request.Caption.empty() ? QString() : QString::fromStdString(Lang(request.Caption));
    QFileDialog dlg(FOwner.data(), caption, QString::fromStdString(request.InitialDir));
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = TranslateFilter(request.Filter);
    dlg.setNameFilters(filters);
    if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
        dlg.selectNameFilter(filters[request.FilterIndex - 1]);
    if (!request.DefaultExt.empty()) dlg.setDefaultSuffix(QString::fromStdString(request.DefaultExt));
    if (!request.FileName.empty()) dlg.selectFile(QString::fromStdString(request.FileName));
    // Overwrite questions belong to the commands that write.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    TFileDialogResult r;
    r.FileName = dlg.selectedFiles().first().toStdString();
    r.FilterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
    if (r.FilterIndex < 1) r.FilterIndex = 1;
    return r;
}

TFileDialogResult TQtDialogs::OpenFile(const TFileDialogRequest& request) { return Run(request, false); }
TFileDialogResult TQtDialogs::SaveFile(const TFileDialogRequest& request) { return Run(request, true); }
