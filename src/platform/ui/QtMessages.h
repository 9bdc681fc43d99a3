#pragma once
// Message boxes shown with Qt; installed by the main window at start-up.

#include <QPointer>
#include <QWidget>

#include "platform/Messages.h"

class TQtMessages final : public TMessageService {
public:
    explicit TQtMessages(QWidget* owner) : FOwner(owner) {}
    void Error(const std::string& message) override;
    void Info(const std::string& message) override;
    TAnswer Ask(const std::string& message, const std::string& caption, TButtons buttons) override;
    void Busy(bool on) override;

private:
    struct TPause {
        explicit TPause(int busy);
        ~TPause();
        int FBusy;
    };
    QWidget* Owner() const;
    QPointer<QWidget> FOwner;
    int FBusy = 0; // open busy scopes
};
