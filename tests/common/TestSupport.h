#pragma once
// Helpers shared by the test binaries.

#include <string>
#include <vector>

#include <QImage>
#include <QStringList>

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

// A PDF's first page rasterised by pdftoppm at dpi, and the box around
// every pixel that is not white paper (empty when the page is blank or
// the file could not be read).
struct TPdfPage {
    QImage Page;
    QRect Ink;
};
TPdfPage RasterisePdf(const std::string& pdf, int dpi);
// Empty when the ink lies at (x, y) and is w × h millimetres large on a
// page rasterised at dpi, each edge to 1.5 pixels (a pixel the picture
// covers only in part counts as ink); else what differs.
std::string InkMismatch(const TPdfPage& page, int dpi, double x, double y, double w, double h);
// The output of one of poppler's tools run on a file ("pdfinfo",
// "pdfimages -list").
std::string PopplerTool(const QStringList& command, const std::string& pdf);

// Largest per-channel difference between two surfaces of the same size
// (-1 when the sizes differ), and the count of differing pixels.
int MaxChannelDiff(const TBitmap32& a, const TBitmap32& b, int* differing = nullptr);
