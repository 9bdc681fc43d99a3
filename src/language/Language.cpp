#include "language/Language.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "engine/Errors.h"
#include "language/IniFile.h"
#include "platform/Paths.h"

namespace {

struct TLanguageState {
    std::string Folder;
    std::vector<std::string> Files;
    int Index = -1;
    std::unique_ptr<TIniFile> Strings; // null: English
};

TLanguageState& State() {
    static TLanguageState state;
    return state;
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

std::string TrimBlanks(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == s.npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool EndsWithIni(const std::string& name) {
    return name.size() >= 4 && name.compare(name.size() - 4, 4, ".ini") == 0;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

} // namespace

// ---- The language list and the menu ----

std::string LanguagesFolder() {
    return ResourceRoot() + "Languages";
}

std::vector<std::string> ScanLanguageFiles(const std::string& folder) {
    std::vector<std::string> files;
    if (!DirectoryExists(folder)) {
        ForceDirectories(folder);
        return files;
    }
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name == "template.ini" || !EndsWithIni(name)) continue;
        files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<TLanguageMenuEntry> LanguageMenuEntries(const std::string& folder,
                                                    const std::vector<std::string>& files) {
    std::vector<TLanguageMenuEntry> entries;
    for (size_t i = 0; i < files.size(); ++i) {
        if (Lower(TrimBlanks(files[i])) == "template.ini") continue;
        const TIniFile ini(JoinPath(folder, files[i]));
        const std::string caption = ini.ReadString("Info", "Language", "");
        if (caption.empty()) continue;
        entries.insert(entries.begin(), {int(i), caption});
    }
    return entries;
}

void BuildLanguageList() {
    BuildLanguageList(LanguagesFolder());
}

void BuildLanguageList(const std::string& folder) {
    TLanguageState& s = State();
    s.Folder = folder;
    s.Files = ScanLanguageFiles(folder);
    // A list built anew can put another file at the current index.
    SetCurrentLanguage(s.Index);
}

const std::vector<std::string>& LanguageFiles() {
    return State().Files;
}

std::vector<TLanguageMenuEntry> LanguageMenu() {
    return LanguageMenuEntries(State().Folder, State().Files);
}

std::string LanguageFilePath(int index) {
    const TLanguageState& s = State();
    if (index < 0 || size_t(index) >= s.Files.size()) return {};
    return JoinPath(s.Folder, s.Files[size_t(index)]);
}

// ---- The current language and lookups ----

void SetCurrentLanguage(int index) {
    TLanguageState& s = State();
    s.Index = index;
    const std::string path = LanguageFilePath(index);
    s.Strings = path.empty() ? nullptr : std::make_unique<TIniFile>(path);
}

int CurrentLanguageIndex() {
    return State().Index;
}

std::string Lang(std::string_view key) {
    return LangDefault(key, key);
}

std::string LangDefault(std::string_view key, std::string_view def) {
    const TIniFile* strings = State().Strings.get();
    // An empty translation is an untranslated line, not a wish for no text.
    std::string text = strings ? strings->ReadString("String", key, "") : std::string();
    return text.empty() ? std::string(def) : text;
}

std::vector<std::string> TranslateList(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    out.reserve(names.size());
    for (const std::string& n : names) out.push_back(Lang(n));
    return out;
}

std::string ErrorMessage(const std::exception& e) {
    const auto* user = dynamic_cast<const EUserError*>(&e);
    if (!user || user->Headline().empty()) return e.what();
    return Lang(user->Headline()) + "\r" + user->Detail();
}
