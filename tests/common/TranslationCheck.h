#pragma once
// Finds texts on screen that never went through the language look-up.
//
// TPseudoLanguage makes the program speak a language in which every text of
// the key table reads as its key between marks ("&File" shows as
// "⟦&File⟧"). A window is then walked widget by widget; any text shown
// without the marks was either written without Lang() or looked up under a
// key the table lacks. Put a window through it with one line, after the
// pseudo-language is current and before or after showing it:
//
//     TPseudoLanguage pseudo;                     // before the window exists
//     TMainForm form(...);
//     form.LanguageItemClick(TPseudoLanguage::Index);
//     ExpectTranslated(&form);
//
// Dialogs read their texts when created: create them after the switch.

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QWidget;

class TPseudoLanguage {
public:
    // A resource folder showing the program's library (linked, not copied)
    // whose "Languages" folder holds only the pseudo-language; it becomes the
    // resource root and the language list, and the pseudo-language the
    // current language.
    TPseudoLanguage();
    // Back to the previous resource root and English.
    ~TPseudoLanguage();
    TPseudoLanguage(const TPseudoLanguage&) = delete;
    TPseudoLanguage& operator=(const TPseudoLanguage&) = delete;

    // The pseudo-language's index in the language list and its menu caption.
    static constexpr int Index = 0;
    static constexpr const char* Name = "Pseudo";
    // key -> "⟦key⟧"
    static QString Wrap(const std::string& key);

    const std::string& Root() const { return FRoot; }

private:
    std::string FRoot;
};

// What a walk lets through besides wrapped texts.
struct TTranslationAllowance {
    // Whole texts shown as they are (the language menu's own entries).
    QStringList Texts;
    // Parts removed from a text before it is judged (the product name and
    // version, "1024 X 768" of the size label).
    std::vector<QRegularExpression> Fragments;
    // Widgets showing the user's data (file and folder names, fonts) or never
    // shown at all, with everything inside them: by class name or object name.
    QStringList UserDataClasses;
    std::vector<QRegularExpression> UserDataNames;
};
// The allowance of the program's windows; extend a copy for a window with
// user data of its own.
TTranslationAllowance DefaultAllowance();

// Every text the window or its widgets show (window titles, labels, buttons,
// tool tips, menus and their actions, combo and list items, tab texts,
// group titles, placeholders) that is not made of wrapped texts, each as
// "object path: text". Hidden pages of stacked widgets are walked too.
std::vector<std::string> UntranslatedTexts(QWidget* window,
                                           const TTranslationAllowance& allowance = DefaultAllowance());

// Fails the running test once per text UntranslatedTexts finds.
void ExpectTranslated(QWidget* window, const TTranslationAllowance& allowance = DefaultAllowance());
