#pragma once
// File dialogs behind a replaceable service, so that tests can script the
// chosen names. Filters use the other platform's "Caption|*.a;*.b|..." form;
// the window side translates them. An empty result means the user
// cancelled.

#include <functional>
#include <string>

struct TFileDialogRequest {
    std::string Caption;
    std::string Filter;      // "Project File(*.clv)|*.clv"
    std::string InitialDir;
    std::string FileName;
    std::string DefaultExt;  // without dot
    int FilterIndex = 1;     // 1-based, as the dialog reports it
};

struct TFileDialogResult {
    std::string FileName; // empty: cancelled
    int FilterIndex = 1;
};

class TDialogService {
public:
    virtual ~TDialogService() = default;
    virtual TFileDialogResult OpenFile(const TFileDialogRequest& request) = 0;
    virtual TFileDialogResult SaveFile(const TFileDialogRequest& request) = 0;
};

// Installs the service (not owned); nullptr restores the default, which
// cancels every dialog.
void SetDialogService(TDialogService* service);
TDialogService& DialogService();

// A save dialog that never replaces a file unasked: the dialog is shown until
// the user cancels it or picks a name that mayWrite accepts -- mayWrite asks
// about the files a save there would replace and says whether the user
// agreed. A refused name is offered again, with the folder and format the
// user had chosen.
TFileDialogResult RunSaveDialog(TFileDialogRequest request,
                                const std::function<bool(const std::string& fileName)>& mayWrite);

// The Yes/No question before a file is replaced: question holds "%s" for the
// name of the file. True for Yes.
bool ConfirmReplace(const std::string& file, const std::string& question, const std::string& caption);
