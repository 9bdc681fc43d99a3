#include "platform/ui/QtMessages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include "language/Language.h"

namespace {
// Texts built for the other platform separate lines with a lone CR.
QString Text(const std::string& s) {
    QString t = QString::fromStdString(s);
    t.replace("\r\n", "\n");
    t.replace('\r', '\n');
    return t;
}

// A message box whose caption and buttons speak the current language.
QMessageBox::StandardButton Show(QWidget* owner, QMessageBox::Icon icon, const std::string& caption,
                                 const std::string& message, QMessageBox::StandardButtons buttons,
                                 QMessageBox::StandardButton byDefault) {
    QMessageBox box(icon, Text(caption), Text(message), buttons, owner);
    box.setDefaultButton(byDefault);
    const std::pair<QMessageBox::StandardButton, const char*> captions[] = {{QMessageBox::Ok, "&OK"},
                                                                            {QMessageBox::Yes, "&Yes"},
                                                                            {QMessageBox::No, "&No"},
                                                                            {QMessageBox::Cancel, "&Cancel"}};
    for (const auto& [button, key] : captions)
        if (QAbstractButton* b = box.button(button)) b->setText(QString::fromStdString(Lang(key)));
    return QMessageBox::StandardButton(box.exec());
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
    Show(Owner(), QMessageBox::Critical, Lang("Error"), message, QMessageBox::Ok, QMessageBox::Ok);
}

void TQtMessages::Info(const std::string& message) {
    const TPause pause(FBusy);
    Show(Owner(), QMessageBox::Information, Lang("Information"), message, QMessageBox::Ok, QMessageBox::Ok);
}

TAnswer TQtMessages::Ask(const std::string& message, const std::string& caption, TButtons buttons) {
    QMessageBox::StandardButtons set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == TButtons::YesNoCancel) set |= QMessageBox::Cancel;
    const TPause pause(FBusy);
    const auto r = Show(Owner(), QMessageBox::Question, caption, message, set,
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
