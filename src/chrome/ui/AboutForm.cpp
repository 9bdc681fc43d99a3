#include "chrome/ui/AboutForm.h"

#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "chrome/ButtonFaces.h"
#include "chrome/Help.h"
#include "language/Language.h"

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QLabel* WhiteLabel(QWidget* parent, const char* name, int pointSize, bool bold = false) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(pal);
    QFont f = l->font();
    f.setPointSize(pointSize);
    f.setBold(bold);
    l->setFont(f);
    l->setWordWrap(true);
    return l;
}
} // namespace

TAboutForm::TAboutForm(const std::string& resourceRoot, QWidget* parent) : QDialog(parent) {
    setObjectName("AboutForm");
    setWindowTitle(Q(Lang("About")));
    setFixedSize(593, 422);
    const std::string file = resourceRoot + "resource/about.png";
    if (devicePixelRatioF() > 1 && FPicture.load(Q(DoubleSizeFile(file))))
        FPicture.setDevicePixelRatio(2);
    else
        FPicture.load(Q(file));

    // the picture's upper part carries the name; the texts sit below it
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(40, 176, 40, 22);
    column->setSpacing(6);
    LabelVersion = WhiteLabel(this, "LabelVersion", 11, true);
    LabelVersion->setText(Q(Lang("Version") + " " + ProgramVersion()));
    LabelLicence = WhiteLabel(this, "LabelLicence", 9);
    LabelLicence->setText(Q(Lang("License:") + " " + Lang(ProgramLicence())));
    std::string libraries;
    for (const TLibraryVersion& l : UsedLibraries())
        libraries += (libraries.empty() ? "" : ", ") + l.Name + " " + l.Version;
    LabelLibraries = WhiteLabel(this, "LabelLibraries", 9);
    LabelLibraries->setText(Q(Lang("Built with:") + " " + libraries));
    LabelWebsite = WhiteLabel(this, "LabelWebsite", 9);
    LabelWebsite->setText(Q(Lang("User guide:")));
    LabelURL = WhiteLabel(this, "LabelURL", 9);
    LabelURL->setWordWrap(false);
    LabelURL->setText(Q(HelpPageUrl(kHelpStartPage)));
    QFont underlined = LabelURL->font();
    underlined.setUnderline(true);
    LabelURL->setFont(underlined);
    LabelURL->setCursor(Qt::PointingHandCursor);
    LabelURL->installEventFilter(this);
    LabelNotice = WhiteLabel(this, "LabelNotice", 8);
    LabelNotice->setText(Q(Lang("This program comes with absolutely no warranty.")));
    ButtonOK = new QPushButton(Q(Lang("&OK")), this);
    ButtonOK->setObjectName("ButtonOK");
    ButtonOK->setFixedSize(160, 30);
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);

    column->addWidget(LabelVersion);
    column->addSpacing(4);
    column->addWidget(LabelLicence);
    column->addWidget(LabelLibraries);
    column->addSpacing(4);
    column->addWidget(LabelWebsite);
    column->addWidget(LabelURL);
    column->addStretch(1);
    auto* foot = new QHBoxLayout;
    foot->addWidget(LabelNotice, 1, Qt::AlignBottom);
    foot->addWidget(ButtonOK, 0, Qt::AlignBottom);
    column->addLayout(foot);
}

void TAboutForm::LabelURLClick() {
    QDesktopServices::openUrl(QUrl(LabelURL->text()));
}

void TAboutForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (FPicture.isNull())
        p.fillRect(rect(), QColor(0x1f, 0x23, 0x2a));
    else
        p.drawImage(rect(), FPicture);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LabelURL && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        LabelURLClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
