#pragma once
// The platform's print and page setup dialogs, behind functions that the
// main window keeps and tests replace with scripted answers.

#include <functional>

class QPrinter;
class QWidget;

struct TPrintDialogHooks {
    // The printer choice (printers and a PDF file); false when cancelled.
    std::function<bool(QPrinter&, QWidget* owner)> ChoosePrinter;
    // Paper, orientation and margins; false when cancelled.
    std::function<bool(QPrinter&, QWidget* owner)> PageSetup;
};

bool RunPrintDialog(QPrinter& printer, QWidget* owner);
bool RunPageSetupDialog(QPrinter& printer, QWidget* owner);
TPrintDialogHooks PlatformPrintDialogs();
