#include "common/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>

std::string TestDataPath(const std::string& name) {
    return std::string(VELMORA_TEST_DATA) + "/" + name;
}

std::string MakeTempDir() {
    static std::vector<std::unique_ptr<QTemporaryDir>> dirs;
    dirs.push_back(std::make_unique<QTemporaryDir>());
    return dirs.back()->path().toStdString();
}

TScriptedMessages::TScriptedMessages() : FPrevious(&MessageService()) {
    SetMessageService(this);
}
TScriptedMessages::~TScriptedMessages() {
    SetMessageService(nullptr);
}
void TScriptedMessages::Error(const std::string& message) {
    MessageWhileBusy |= BusyDepth > 0;
    Errors.push_back(message);
}
void TScriptedMessages::Info(const std::string& message) {
    MessageWhileBusy |= BusyDepth > 0;
    Infos.push_back(message);
}
void TScriptedMessages::Busy(bool on) {
    BusyDepth += on ? 1 : -1;
    BusyStarts += on ? 1 : 0;
}
TAnswer TScriptedMessages::Ask(const std::string& message, const std::string&, TButtons) {
    MessageWhileBusy |= BusyDepth > 0;
    Questions.push_back(message);
    return FNextAnswer < Answers.size() ? Answers[FNextAnswer++] : TAnswer::No;
}

int MaxChannelDiff(const TBitmap32& a, const TBitmap32& b, int* differing) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int worst = 0, count = 0;
    for (size_t i = 0; i < a.PixelCount(); ++i) {
        const TColor32 p = a.Bits()[i], q = b.Bits()[i];
        if (p == q) continue;
        ++count;
        for (int s = 0; s < 32; s += 8)
            worst = std::max(worst, std::abs(int((p >> s) & 0xFF) - int((q >> s) & 0xFF)));
    }
    if (differing) *differing = count;
    return worst;
}

TScriptedDialogs::TScriptedDialogs() {
    SetDialogService(this);
}
TScriptedDialogs::~TScriptedDialogs() {
    SetDialogService(nullptr);
}
TFileDialogResult TScriptedDialogs::Next(const TFileDialogRequest& request) {
    Requests.push_back(request);
    return FNext < Results.size() ? Results[FNext++] : TFileDialogResult{};
}
TFileDialogResult TScriptedDialogs::OpenFile(const TFileDialogRequest& request) {
    return Next(request);
}
TFileDialogResult TScriptedDialogs::SaveFile(const TFileDialogRequest& request) {
    return Next(request);
}
