#pragma once
// Categories of the resource library: the direct sub-folders of "Masks",
// "Frames" and "Cliparts". Each category choice is a pair of lists at equal
// positions: the folder names (which the program addresses) and their
// display names (which the user reads, translated by the language file).

#include <functional>
#include <string>
#include <vector>

// Translation of one text; the language module plugs its lookup in here.
// An empty function leaves texts as they are.
using TLookup = std::function<std::string(const std::string&)>;

// Names of the sub-folders of `folder` ("." and ".." excluded), in the name
// order of the grids (NameLess: without regard to case, then byte-wise) --
// Linux gives directory entries in no fixed order. A missing folder gives an
// empty list.
std::vector<std::string> ListCategories(const std::string& folder);

// Display names for folder names, position by position.
std::vector<std::string> TranslateCategories(const std::vector<std::string>& folders,
                                             const TLookup& lookup = {});

// First position whose text equals `text` without regard to case, or -1.
int IndexOfText(const std::vector<std::string>& items, const std::string& text);

// Characters up to and including the space removed from both ends.
std::string TrimText(const std::string& s);

// resourceRoot + base + "/" + trimmed category + "/".
std::string CategoryDirectory(const std::string& resourceRoot, const std::string& base,
                              const std::string& category);
// The category's folder under each root that has it, in the roots' order
// (the shipped library first, then the user's).
std::vector<std::string> CategoryDirectories(const std::vector<std::string>& roots, const std::string& base,
                                             const std::string& category);

// The clipart category holding the user's own pictures ("Customize",
// matched after trimming, without regard to case).
bool IsCustomizeCategory(const std::string& category);

// One category choice: the hidden folder list, the visible display list and
// the position chosen in both.
struct TCategoryPair {
    std::vector<std::string> Folders; // the hidden list
    std::vector<std::string> Names;   // the visible list
    int ItemIndex = -1;

    // Fills the folder list from the base folders (the shipped library's
    // and the user's): a category found in both is listed once. Nothing is
    // chosen and the visible list is empty until FirstShow.
    void Fill(const std::vector<std::string>& baseFolders);
    // The first-show rule: choose "Free" (without regard to case) if there
    // is one, and fill the visible list with the translated names. True when
    // a category is now chosen (the caller then shows it).
    bool FirstShow(const TLookup& lookup = {});
    // A choice in the visible list: the same position in both lists. An
    // index outside the list chooses nothing.
    void Choose(int index);
    // The chosen folder name, trimmed; "" when nothing is chosen.
    std::string Current() const;
};
