#include "common/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
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

TPdfPage RasterisePdf(const std::string& pdf, int dpi) {
    const QString base = QString::fromStdString(MakeTempDir() + "/page");
    QProcess::execute("pdftoppm",
                      {"-r", QString::number(dpi), "-png", "-singlefile", QString::fromStdString(pdf), base});
    TPdfPage r;
    r.Page = QImage(base + ".png").convertToFormat(QImage::Format_RGB32);
    int left = r.Page.width(), top = r.Page.height(), right = -1, bottom = -1;
    for (int y = 0; y < r.Page.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(r.Page.constScanLine(y));
        for (int x = 0; x < r.Page.width(); ++x)
            if (qRed(row[x]) < 240 || qGreen(row[x]) < 240 || qBlue(row[x]) < 240) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    if (right >= 0) r.Ink = QRect(QPoint(left, top), QPoint(right, bottom));
    return r;
}

std::string PopplerTool(const QStringList& command, const std::string& pdf) {
    QProcess p;
    p.start(command.first(), command.mid(1) << QString::fromStdString(pdf));
    p.waitForFinished(30000);
    return p.readAllStandardOutput().toStdString();
}

std::string InkMismatch(const TPdfPage& page, int dpi, double x, double y, double w, double h) {
    const double px = dpi / 25.4;
    const QRect& ink = page.Ink;
    const bool near = std::abs(ink.left() - x * px) <= 1.5 && std::abs(ink.top() - y * px) <= 1.5 &&
                      std::abs(ink.right() + 1 - (x + w) * px) <= 1.5 &&
                      std::abs(ink.bottom() + 1 - (y + h) * px) <= 1.5;
    if (near) return {};
    return "ink from (" + std::to_string(ink.left()) + ", " + std::to_string(ink.top()) + ") to (" +
           std::to_string(ink.right() + 1) + ", " + std::to_string(ink.bottom() + 1) + "), expected (" +
           std::to_string(x * px) + ", " + std::to_string(y * px) + ") to (" + std::to_string((x + w) * px) +
           ", " + std::to_string((y + h) * px) + ")";
}
