#pragma once
// File dialogs behind a replaceable service, so that tests can script the
// chosen names. Filters use the other platform's "Caption|*.a;*.b|..." form;
// the window side translates them. An empty result means the user
// cancelled.

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
