#include "platform/ui/QtMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace {
// Texts built for the other platform separate lines with a lone CR.
QString Text(const std::string& s) {
    QString t = QString::fromStdString(s);
    t.replace("\r\n", "\n");
    t.replace('\r', '\n');
    return t;
}
} // namespace

QWidget* TQtMessages::Owner() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return FOwner.data();
}

// A message box shows the ordinary pointer even while work is busy.
TQtMessages::TPause::TPause(int busy) : FBusy(busy) {
    for (int i = 0; i < FBusy; ++i) QApplication::restoreOverrideCursor();
}
TQtMessages::TPause::~TPause() {
    for (int i = 0; i < FBusy; ++i) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TQtMessages::Error(const std::string& message) {
    const TPause pause(FBusy);
    QMessageBox::critical(Owner(), QStringLiteral("Error"), Text(message));
}

void TQtMessages::Info(const std::string& message) {
    const TPause pause(FBusy);
    QMessageBox::information(Owner(), QStringLiteral("Information"), Text(message));
}

TAnswer TQtMessages::Ask(const std::string& message, const std::string& caption, TButtons buttons) {
    QMessageBox::StandardButtons set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == TButtons::YesNoCancel) set |= QMessageBox::Cancel;
    const TPause pause(FBusy);
    const auto r =
        QMessageBox::question(Owner(), Text(caption), Text(message), set,
                              buttons == TButtons::YesNoCancel ? QMessageBox::Cancel : QMessageBox::No);
    if (r == QMessageBox::Yes) return TAnswer::Yes;
    if (r == QMessageBox::No) return TAnswer::No;
    return TAnswer::Cancel;
}

void TQtMessages::Busy(bool on) {
    if (on) {
        ++FBusy;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (FBusy > 0) {
        --FBusy;
        QApplication::restoreOverrideCursor();
    }
}
