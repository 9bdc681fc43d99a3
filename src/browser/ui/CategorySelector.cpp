#include "browser/ui/CategorySelector.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "browser/PicGrid.h"
#include "browser/ui/PicFileList.h"

namespace {
QStringList ToQt(const std::vector<std::string>& items) {
    QStringList out;
    for (const std::string& s : items) out << QString::fromStdString(s);
    return out;
}
} // namespace

TCategorySelector::TCategorySelector(const QString& caption, std::string baseFolder, TPicFileList* list,
                                     QWidget* parent)
    : QWidget(parent), List(list), FBase(std::move(baseFolder)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    Label = new QLabel(caption, this);
    Visible = new QComboBox(this);
    Visible->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Visible->setMinimumContentsLength(8);
    Hidden = new QComboBox(this);
    Hidden->hide();
    Label->setBuddy(Visible);
    row->addWidget(Label);
    row->addWidget(Visible, 1);
    connect(Visible, &QComboBox::currentIndexChanged, this, [this](int index) { VisibleChange(index); });
}

void TCategorySelector::Fill(const std::string& resourceRoot, const std::string& userRoot) {
    FRoots = {resourceRoot};
    if (!userRoot.empty() && userRoot != resourceRoot) FRoots.push_back(userRoot);
    std::vector<std::string> bases;
    for (const std::string& root : FRoots) bases.push_back(JoinPath(root, FBase) + "/");
    FPair.Fill(bases);
    const QSignalBlocker block(Visible);
    Hidden->clear();
    Hidden->addItems(ToQt(FPair.Folders));
    Hidden->setCurrentIndex(-1);
    Visible->clear();
}

bool TCategorySelector::FirstShow(const TLookup& lookup) {
    const bool chosen = FPair.FirstShow(lookup);
    Hidden->setCurrentIndex(FPair.ItemIndex);
    if (chosen) HiddenChange();
    const QSignalBlocker block(Visible);
    Visible->clear();
    Visible->addItems(ToQt(FPair.Names));
    Visible->setCurrentIndex(FPair.ItemIndex);
    return chosen;
}

void TCategorySelector::HiddenChange() {
    const std::string name = TrimText(Hidden->currentText().toStdString());
    // no category chosen: the base folder itself is never shown
    if (name.empty()) return;
    if (List) List->SetDirectories(CategoryDirectories(FRoots, FBase, name));
    if (OnCategoryShown) OnCategoryShown(name);
}

void TCategorySelector::VisibleChange(int index) {
    FPair.Choose(index);
    Hidden->setCurrentIndex(FPair.ItemIndex);
    if (FPair.ItemIndex >= 0) HiddenChange();
}

void TCategorySelector::ChooseFirstIfNone() {
    if (Visible->currentIndex() < 0 && Visible->count() > 0) Visible->setCurrentIndex(0);
}

std::string TCategorySelector::CurrentCategory() const {
    return TrimText(Hidden->currentText().toStdString());
}
