#include "platform/Messages.h"

#include <cstdio>
#include <exception>

namespace {
class TConsoleMessages final : public TMessageService {
public:
    void Error(const std::string& message) override { std::fprintf(stderr, "Error: %s\n", message.c_str()); }
    void Info(const std::string& message) override { std::fprintf(stderr, "Information: %s\n", message.c_str()); }
    TAnswer Ask(const std::string& message, const std::string& caption, TButtons) override {
        std::fprintf(stderr, "%s: %s (answered No)\n", caption.c_str(), message.c_str());
        return TAnswer::No;
    }
};
TConsoleMessages gConsole;
TMessageService* gService = nullptr;
TCommandGuard gGuard;
} // namespace

void SetMessageService(TMessageService* service) { gService = service; }
TMessageService& MessageService() { return gService ? *gService : gConsole; }
void ShowError(const std::string& message) { MessageService().Error(message); }
void ShowInfo(const std::string& message) { MessageService().Info(message); }
TAnswer Ask(const std::string& message, const std::string& caption, TButtons buttons) {
    return MessageService().Ask(message, caption, buttons);
}

void SetCommandGuard(TCommandGuard guard) {
    gGuard = std::move(guard);
}

void RunGuarded(const std::function<void()>& command) {
    if (gGuard) {
        gGuard(command);
        return;
    }
    try {
        command();
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
}
