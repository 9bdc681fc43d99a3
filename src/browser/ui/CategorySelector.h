#pragma once
// A category choice above a thumbnail grid: a visible drop-down list of
// display names and, hidden beside it, the list of the folder names at the
// same positions. Choosing a name shows that category's folder in the grid.

#include <QWidget>
#include <functional>
#include <string>

#include "browser/Categories.h"

class QComboBox;
class QLabel;
class TPicFileList;

class TCategorySelector : public QWidget {
    Q_OBJECT
public:
    // baseFolder: "Masks", "Frames" or "Cliparts"; caption: the label's text.
    TCategorySelector(const QString& caption, std::string baseFolder, TPicFileList* list,
                      QWidget* parent = nullptr);

    QLabel* Label = nullptr;
    QComboBox* Hidden = nullptr;  // folder names (never shown)
    QComboBox* Visible = nullptr; // display names
    TPicFileList* List = nullptr;
    const std::string& BaseFolder() const { return FBase; }

    // Lists the categories of the base folder in the shipped library
    // (resourceRoot) and in the user's own (userRoot; "" for none) into the
    // hidden list, each name once; the visible list stays empty until
    // FirstShow.
    void Fill(const std::string& resourceRoot, const std::string& userRoot = "");
    // Chooses "Free" (without regard to case) and shows it when there is
    // one; fills the visible list with the translated names and gives it the
    // same choice (none without "Free"). True when a category was shown.
    bool FirstShow(const TLookup& lookup = {});
    // Shows the category chosen in the hidden list: the grid shows
    // resourceRoot + base + "/" + trimmed name + "/" and, after it, the same
    // folder of the user's library.
    void HiddenChange();
    // A choice in the visible list (also when made through setCurrentIndex):
    // the same position in the hidden list, then HiddenChange.
    void VisibleChange(int index);
    // When nothing is chosen and there are categories, chooses the first.
    void ChooseFirstIfNone();
    // The chosen folder name, trimmed ("" when none).
    std::string CurrentCategory() const;

    // After a category was shown, with its trimmed folder name.
    std::function<void(const std::string& category)> OnCategoryShown;

private:
    std::string FBase;
    std::vector<std::string> FRoots;
    TCategoryPair FPair;
};
