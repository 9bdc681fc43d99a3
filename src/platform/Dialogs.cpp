#include "platform/Dialogs.h"

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
