#include "platform/Dialogs.h"

#include "platform/Messages.h"
#include "platform/Paths.h"

namespace {
class TCancelAll final : public TDialogService {
public:
    TFileDialogResult OpenFile(const TFileDialogRequest&) override { return {}; }
    TFileDialogResult SaveFile(const TFileDialogRequest&) override { return {}; }
};
TCancelAll gCancel;
TDialogService* gDialogs = nullptr;
} // namespace

void SetDialogService(TDialogService* service) { gDialogs = service; }
TDialogService& DialogService() { return gDialogs ? *gDialogs : gCancel; }

TFileDialogResult RunSaveDialog(TFileDialogRequest request,
                                const std::function<bool(const std::string& fileName)>& mayWrite) {
    for (;;) {
        const TFileDialogResult r = DialogService().SaveFile(request);
        if (r.FileName.empty() || mayWrite(r.FileName)) return r;
        request.InitialDir = ExtractFileDir(r.FileName);
        request.FileName = ExtractFileName(r.FileName);
        request.FilterIndex = r.FilterIndex;
    }
}

bool ConfirmReplace(const std::string& file, const std::string& question, const std::string& caption) {
    std::string text = question;
    const size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, file);
    return Ask(text, caption, TButtons::YesNo) == TAnswer::Yes;
}
