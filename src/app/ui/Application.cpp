#include "app/ui/Application.h"

#include <QTimer>
#include <exception>
#include <new>

#include "language/Language.h"
#include "platform/Messages.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        Report(Lang("Not enough memory for this operation."));
    } catch (const std::exception& e) {
        Report(ErrorMessage(e));
    } catch (...) {
        Report(Lang("An unexpected error occurred."));
    }
    return false;
}

void TApplication::Report(const std::string& message) {
    ++FCaught;
    // The box is shown after the failing handler has returned: a failure
    // inside a paint or a layout must not open a window there. A failure
    // that repeats meanwhile (a paint failing on every repaint, also behind
    // its own box) gives one box.
    if (message == FShowing) return;
    const bool scheduled = !FPending.empty();
    FPending = message;
    if (scheduled) return;
    QTimer::singleShot(0, this, [this] {
        FShowing = std::move(FPending);
        FPending.clear();
        ShowError(FShowing);
        FShowing.clear();
    });
}
