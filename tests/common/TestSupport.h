#pragma once
// Helpers shared by the test binaries.

#include <string>
#include <vector>

#include "engine/Bitmap32.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"

// Folder of the test pictures kept with the sources (tests/data).
std::string TestDataPath(const std::string& name);
// A fresh temporary folder for one test; removed at process exit.
std::string MakeTempDir();

// Records every message and answers questions from a script (in order;
// No once the script is used up). Installed for the lifetime of the object.
class TScriptedMessages : public TMessageService {
public:
    TScriptedMessages();
    ~TScriptedMessages() override;
    void Error(const std::string& message) override;
    void Info(const std::string& message) override;
    TAnswer Ask(const std::string& message, const std::string& caption, TButtons buttons) override;
    void Busy(bool on) override;

    std::vector<std::string> Errors, Infos, Questions;
    int BusyDepth = 0, BusyStarts = 0;
    bool MessageWhileBusy = false;
    std::vector<TAnswer> Answers;

private:
    TMessageService* FPrevious = nullptr;
    size_t FNextAnswer = 0;
};

// Answers file dialogs from a script of file names ("" = cancel), recording
// the requests. Installed for the lifetime of the object.
class TScriptedDialogs : public TDialogService {
public:
    TScriptedDialogs();
    ~TScriptedDialogs() override;
    TFileDialogResult OpenFile(const TFileDialogRequest& request) override;
    TFileDialogResult SaveFile(const TFileDialogRequest& request) override;

    std::vector<TFileDialogResult> Results;
    std::vector<TFileDialogRequest> Requests;

private:
    TFileDialogResult Next(const TFileDialogRequest& request);
    size_t FNext = 0;
};

// Largest per-channel difference between two surfaces of the same size
// (-1 when the sizes differ), and the count of differing pixels.
int MaxChannelDiff(const TBitmap32& a, const TBitmap32& b, int* differing = nullptr);
