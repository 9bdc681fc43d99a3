#pragma once
// Message boxes and questions. The document side reports through these
// functions; the window side installs a service that shows real message
// boxes, and tests install one that records the texts and answers from a
// script.

#include <functional>
#include <string>

enum class TAnswer { Yes, No, Cancel, Ok };
enum class TButtons { YesNo, YesNoCancel };

class TMessageService {
public:
    virtual ~TMessageService() = default;
    virtual void Error(const std::string& message) = 0;
    virtual void Info(const std::string& message) = 0;
    virtual TAnswer Ask(const std::string& message, const std::string& caption, TButtons buttons) = 0;
    // A long piece of work starts (true) or ends (false); the window shows a
    // busy pointer meanwhile. Calls nest.
    virtual void Busy(bool on) { (void)on; }
};

// Installs the service (not owned); nullptr restores the default, which
// writes to standard error and answers No.
void SetMessageService(TMessageService* service);
TMessageService& MessageService();

// Caption "Error", error icon.
void ShowError(const std::string& message);
// Caption "Information", information icon.
void ShowInfo(const std::string& message);
TAnswer Ask(const std::string& message, const std::string& caption, TButtons buttons);

// Busy for its lifetime: composing and encoding a large page, or reading a
// project's photos, takes seconds. Message boxes shown meanwhile have the
// ordinary pointer.
class TBusyScope {
public:
    TBusyScope() { MessageService().Busy(true); }
    ~TBusyScope() { MessageService().Busy(false); }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;
};

// ---- The command guard ----
// Every place that runs a command on behalf of the user -- menus, keys,
// pointer events, selection-handle callbacks, drops, timers, thumbnail and
// dialog callbacks -- runs it through RunGuarded, so that a failure ends in an
// error box instead of unwinding through the event loop. The main window
// installs its guard at start-up; without one a failure is shown with
// ShowError. Guards nest: a command that opens a dialog runs the dialog's own
// commands through the same guard.
using TCommandGuard = std::function<void(const std::function<void()>& command)>;
// Installs the guard; an empty function restores the default.
void SetCommandGuard(TCommandGuard guard);
void RunGuarded(const std::function<void()>& command);
