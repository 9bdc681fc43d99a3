#pragma once
// The application object of the editor. Every command already runs inside
// the main window's command guard; this is the last line of defence behind
// it: an exception that still leaves an event handler is caught where Qt
// delivers the event, shown in the error box once the handler is left, and
// the program keeps running (Qt's event loop must never be unwound by an
// exception).

#include <QApplication>
#include <string>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Failures caught here so far (for the curious and for tests).
    int CaughtFailures() const { return FCaught; }

private:
    void Report(const std::string& message);
    std::string FPending; // shown once the failing handler has returned
    std::string FShowing; // the failure whose box is open
    int FCaught = 0;
};
