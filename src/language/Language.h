#pragma once
// Language files: INI files in ResourceRoot() + "Languages" that translate
// every visible text. The key of a text is its English wording, which is also
// what a lookup returns when no language is chosen, the file lacks the key or
// the file cannot be read; only the tool-button hints use made-up keys
// ("Hint01" .. "Hint22") with their English text as a separate default.
//
//   [Info]
//   Language=Deutsch          ; caption of the menu item
//   [String]
//   &File=&Datei              ; English text = translation
//
// A language is named by its position in the language list (the language
// index); -1 is the built-in English.
//
// The current language is one global of the program. Lookups and changes
// happen on the user-interface thread only; nothing here locks.

#include <exception>
#include <string>
#include <string_view>
#include <vector>

// ---- The language list and the menu ----

// ResourceRoot() + "Languages".
std::string LanguagesFolder();

// File names (without folder) of the language files in folder: every entry
// whose name ends in exactly ".ini" (lower case) except "template.ini".
// Directory order differs between file systems, so the names are sorted
// (byte order) to keep indexes stable. A missing folder is created and gives
// an empty list.
std::vector<std::string> ScanLanguageFiles(const std::string& folder);

struct TLanguageMenuEntry {
    int Index = -1;      // language index the item selects
    std::string Caption; // [Info] Language of its file, trimmed
    bool operator==(const TLanguageMenuEntry&) const = default;
};

// The items between the two separators of the "Languages" menu, in the order
// the menu shows them: each new item goes directly after the first
// separator, so they come in the reverse of the list order. Files without a
// usable [Info] Language (missing, empty, unreadable) keep their index but
// give no item; so does a name that is "template.ini" in any case.
std::vector<TLanguageMenuEntry> LanguageMenuEntries(const std::string& folder,
                                                    const std::vector<std::string>& files);

// The program's language list: scans the folder (default LanguagesFolder())
// once at start-up. The current index is left as it is.
void BuildLanguageList();
void BuildLanguageList(const std::string& folder);
const std::vector<std::string>& LanguageFiles();
// LanguageMenuEntries of the program's list.
std::vector<TLanguageMenuEntry> LanguageMenu();
// Full path of the file of a language index, "" when the index is outside the
// list (English).
std::string LanguageFilePath(int index);

// ---- The current language and lookups ----

// Makes index the current language and reads its file once into memory. An
// index outside the list, or a file that cannot be read, gives English texts;
// the index itself is kept (it is what the configuration stores).
void SetCurrentLanguage(int index);
int CurrentLanguageIndex();

// Section "String" of the current language: the translation of key, or key
// (also for an empty translation).
std::string Lang(std::string_view key);
// The same with a default other than the key (the "HintNN" keys).
std::string LangDefault(std::string_view key, std::string_view def);
// Each name looked up with itself as key and default (category folder names,
// colour names), in order.
std::vector<std::string> TranslateList(const std::vector<std::string>& names);

// The text of a failure for a message box: a failure about a file
// (EUserError with a headline) as its translated headline, then the file and
// the reason on a second line; any other failure as its own text.
std::string ErrorMessage(const std::exception& e);

// ---- The texts of the program ----

enum class TLanguageGroup { Menu, Panel, Status, Hint, Filter, Dialog, Colour, Category };

struct TLanguageKey {
    std::string_view Key;
    std::string_view Default; // the text shown when no translation exists
    TLanguageGroup Group;     // where the key is first used
};

// Every key of section "String" the program looks up, each once, grouped and
// ordered as a translator reads them.
const std::vector<TLanguageKey>& LanguageKeys();

// The 22 texts of the filter browser, translated: the 13 filter names in
// filter order, the parameter labels "Brightness", "Contrast", "Range",
// "Colorized", "Radius", "Red", "Green", "Blue", and the border button's
// "&Border". The English "Brightness and Contrast" is split over two lines.
std::vector<std::string> FilterNames();
// Tool-button hint n (1..22), translated through key "HintNN".
std::string HintText(int n);
// English names of the entries of the text colour list, in list order: the
// sixteen standard colours, then the custom-colour entry. Translate them from
// these every time the language changes (not from the shown texts, which are
// already another language's).
const std::vector<std::string>& TextColorNames();
// The category folder names of the resource library that have translations.
const std::vector<std::string>& CategoryNames();
