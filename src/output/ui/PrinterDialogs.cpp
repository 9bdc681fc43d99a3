#include "output/ui/PrinterDialogs.h"

#include <QPageSetupDialog>
#include <QPrintDialog>

#include "language/Language.h"

bool RunPrintDialog(QPrinter& printer, QWidget* owner) {
    QPrintDialog dialog(&printer, owner);
    dialog.setObjectName("PrintDialog");
    dialog.setWindowTitle(QString::fromStdString(Lang("Print")));
    // a PDF file is always a choice, printers or not
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

bool RunPageSetupDialog(QPrinter& printer, QWidget* owner) {
    QPageSetupDialog dialog(&printer, owner);
    dialog.setObjectName("PageSetupDialog");
    return dialog.exec() == QDialog::Accepted;
}

TPrintDialogHooks PlatformPrintDialogs() {
    return {RunPrintDialog, RunPageSetupDialog};
}
