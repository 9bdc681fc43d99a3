#include <gtest/gtest.h>

#include <QString>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "common/TestSupport.h"
#include "language/IniFile.h"
#include "language/Language.h"

namespace fs = std::filesystem;

namespace {

void WriteRaw(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out << data;
}

// The language files the program ships, from the source tree.
std::string ShippedLanguage(const std::string& name) {
    return TestDataPath("../../tools/resgen/languages/" + name);
}

std::string Fold(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return r;
}

bool ValidUtf8(const std::string& s) {
    return QString::fromUtf8(s).toUtf8().toStdString() == s;
}

// Every test leaves the program in English with an empty list.
class Languages : public ::testing::Test {
protected:
    void TearDown() override {
        BuildLanguageList(MakeTempDir());
        SetCurrentLanguage(-1);
    }
};

} // namespace

// ---- The list and the menu ----

TEST_F(Languages, ScanTakesLowerCaseIniFilesExceptTheTemplate) {
    const std::string dir = MakeTempDir();
    WriteRaw(dir + "/b.ini", "[Info]\nLanguage=Beta\n");
    WriteRaw(dir + "/a.ini", "[Info]\nLanguage=Alpha\n");
    WriteRaw(dir + "/template.ini", "[Info]\nLanguage=Template\n");
    WriteRaw(dir + "/Template.ini", "[Info]\nLanguage=Template too\n");
    WriteRaw(dir + "/X.INI", "[Info]\nLanguage=Upper\n");
    WriteRaw(dir + "/y.Ini", "[Info]\nLanguage=Mixed\n");
    WriteRaw(dir + "/x.txt", "[Info]\nLanguage=Text\n");
    WriteRaw(dir + "/c.ini.bak", "[Info]\nLanguage=Backup\n");

    const std::vector<std::string> files = ScanLanguageFiles(dir);
    // Byte order: upper-case letters first.
    EXPECT_EQ(files, (std::vector<std::string>{"Template.ini", "a.ini", "b.ini"}));
    // "Template.ini" keeps its index but is no menu item; the others come in
    // the reverse of the list order.
    EXPECT_EQ(LanguageMenuEntries(dir, files), (std::vector<TLanguageMenuEntry>{{2, "Beta"}, {1, "Alpha"}}));
}

TEST_F(Languages, MissingFolderIsCreatedAndGivesNoLanguages) {
    const std::string dir = MakeTempDir() + "/res/Languages";
    EXPECT_TRUE(ScanLanguageFiles(dir).empty());
    EXPECT_TRUE(fs::is_directory(dir));
}

TEST_F(Languages, FilesWithoutACaptionTakeAnIndexButNoMenuItem) {
    const std::string dir = MakeTempDir();
    WriteRaw(dir + "/1-noinfo.ini", "[String]\n&File=&Fichier\n");
    WriteRaw(dir + "/2-empty.ini", "[Info]\nLanguage=   \n");
    WriteRaw(dir + "/3-french.ini", "[info]\nlanguage=  Français  \n");
    fs::create_directory(dir + "/4-folder.ini");
    WriteRaw(dir + "/5-dutch.ini", "\xEF\xBB\xBF[Info]\r\nLanguage=Nederlands\r\n");
    BuildLanguageList(dir);
    EXPECT_EQ(LanguageFiles().size(), 5u);
    EXPECT_EQ(LanguageMenu(), (std::vector<TLanguageMenuEntry>{{4, "Nederlands"}, {2, "Français"}}));
    EXPECT_EQ(LanguageFilePath(2), dir + "/3-french.ini");
    EXPECT_EQ(LanguageFilePath(5), "");
    EXPECT_EQ(LanguageFilePath(-1), "");

    // A language without a menu item still translates when its index is stored.
    SetCurrentLanguage(0);
    EXPECT_EQ(Lang("&File"), "&Fichier");
    // The folder in the list reads as empty: English.
    SetCurrentLanguage(3);
    EXPECT_EQ(Lang("&File"), "&File");
}

// ---- Lookups ----

TEST_F(Languages, LookupFallsBackToEnglish) {
    const std::string dir = MakeTempDir();
    WriteRaw(dir + "/de.ini",
             "[Info]\nLanguage=Deutsch\n[String]\n&file=&Datei\nHint08=Foto zuschneiden\n"
             "Save=\nThe project folder [%s] has existed, do you want to overwrite?=Ordner [%s]?\n");
    WriteRaw(dir + "/nostrings.ini", "[Info]\nLanguage=Leer\n");
    BuildLanguageList(dir);
    ASSERT_EQ(LanguageFiles(), (std::vector<std::string>{"de.ini", "nostrings.ini"}));

    EXPECT_EQ(CurrentLanguageIndex(), -1);
    EXPECT_EQ(Lang("&File"), "&File");
    EXPECT_EQ(HintText(8), "Crop your selected photo");

    SetCurrentLanguage(0);
    EXPECT_EQ(CurrentLanguageIndex(), 0);
    EXPECT_EQ(Lang("&File"), "&Datei"); // keys match without regard to case
    EXPECT_EQ(Lang("E&xit"), "E&xit");  // missing key
    EXPECT_EQ(Lang("Save"), "Save");    // empty translation
    EXPECT_EQ(Lang("The project folder [%s] has existed, do you want to overwrite?"), "Ordner [%s]?");
    EXPECT_EQ(HintText(8), "Foto zuschneiden");
    EXPECT_EQ(HintText(9), "Set transparence for your selected photo");
    EXPECT_EQ(LangDefault("Hint09", "fallback"), "fallback");
    EXPECT_EQ(TranslateList({"&File", "Circle"}), (std::vector<std::string>{"&Datei", "Circle"}));

    SetCurrentLanguage(1); // no [String] section
    EXPECT_EQ(Lang("&File"), "&File");

    // A stored index beyond the list: English, and the index is kept.
    SetCurrentLanguage(7);
    EXPECT_EQ(CurrentLanguageIndex(), 7);
    EXPECT_EQ(Lang("&File"), "&File");
    for (const TLanguageMenuEntry& e : LanguageMenu()) EXPECT_NE(e.Index, CurrentLanguageIndex());

    SetCurrentLanguage(0);
    fs::remove(dir + "/de.ini"); // the file was read once; its texts stay
    EXPECT_EQ(Lang("&File"), "&Datei");
    SetCurrentLanguage(0); // choosing it again finds nothing readable
    EXPECT_EQ(Lang("&File"), "&File");
    EXPECT_EQ(HintText(0), "");
    EXPECT_EQ(HintText(23), "");
}

TEST_F(Languages, FilterVocabularyInItsFixedOrder) {
    const std::vector<std::string> english = FilterNames();
    ASSERT_EQ(english.size(), 22u);
    EXPECT_EQ(english[0], "Gray");
    EXPECT_EQ(english[1], "Brightness\nand Contrast");
    EXPECT_EQ(english[12], "Color Matrix");
    EXPECT_EQ(english[13], "Brightness");
    EXPECT_EQ(english[20], "Blue");
    EXPECT_EQ(english[21], "&Border");

    const std::string dir = MakeTempDir();
    WriteRaw(dir + "/de.ini", "[String]\nBrightness and Contrast=Helligkeit/Kontrast\n&Border=&Umrandung\n");
    BuildLanguageList(dir);
    SetCurrentLanguage(0);
    const std::vector<std::string> german = FilterNames();
    EXPECT_EQ(german[1], "Helligkeit/Kontrast");
    EXPECT_EQ(german[21], "&Umrandung");
    EXPECT_EQ(german[0], "Gray");
}

// ---- The key table and the shipped files ----

TEST_F(Languages, KeyTableHoldsEachKeyOnceAndFitsAnIniFile) {
    const std::vector<TLanguageKey>& keys = LanguageKeys();
    std::set<std::string> folded;
    int hints = 0;
    for (const TLanguageKey& k : keys) {
        EXPECT_TRUE(folded.insert(Fold(k.Key)).second) << "twice: " << k.Key;
        // Keys must survive the file: no '=', no leading ';', no
        // surrounding blanks, one line.
        EXPECT_EQ(k.Key.find_first_of("=\r\n"), std::string_view::npos) << k.Key;
        EXPECT_NE(k.Key.front(), ';');
        EXPECT_NE(k.Key.front(), ' ');
        EXPECT_NE(k.Key.back(), ' ');
        if (k.Group == TLanguageGroup::Hint) {
            ++hints;
            EXPECT_EQ(k.Key.substr(0, 4), "Hint");
            EXPECT_NE(k.Default, k.Key);
        }
    }
    EXPECT_EQ(hints, 22);
    for (const char* must :
         {"&File", "Rotate90", "&Backdrop", "Some layers have been locked", "&Border",
          "Width must be range from 10 to 10000.", "millimeter", "&Reset", "Collage", "Custom...", "Maroon",
          "Celebration", "Click left mouse button or press 'Esc' key to close"})
        EXPECT_TRUE(folded.count(Fold(must))) << must;
    for (const std::string& c : TextColorNames()) EXPECT_TRUE(folded.count(Fold(c))) << c;
    for (const std::string& c : CategoryNames()) EXPECT_TRUE(folded.count(Fold(c))) << c;
    EXPECT_EQ(TextColorNames().size(), 17u);

    // Every key the sources look up by its literal text is in the table (a
    // key missing there is missing from every translation too).
    const std::regex lookup(R"re(\b(?:Lang|LangDefault|L)\("((?:[^"\\]|\\.)*)")re");
    int literals = 0;
    for (const auto& entry : fs::recursive_directory_iterator(VELMORA_SOURCE_DIR "/src")) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path());
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (std::sregex_iterator m(text.begin(), text.end(), lookup), end; m != end; ++m, ++literals)
            EXPECT_TRUE(folded.count(Fold((*m)[1].str())))
                << entry.path().filename().string() << " looks up a key the table lacks: " << (*m)[1].str();
    }
    EXPECT_GT(literals, 30);
}

TEST_F(Languages, GermanTranslatesEveryKey) {
    const TIniFile de(ShippedLanguage("Deutsch.ini"));
    ASSERT_TRUE(de.SectionExists("String")) << ShippedLanguage("Deutsch.ini");
    EXPECT_EQ(de.ReadString("Info", "Language", ""), "Deutsch");

    std::set<std::string> known;
    for (const TLanguageKey& k : LanguageKeys()) {
        known.insert(Fold(k.Key));
        const std::string english(k.Key);
        if (!de.ValueExists("String", english)) {
            ADD_FAILURE() << "untranslated: " << english;
            continue;
        }
        const std::string v = de.ReadString("String", english, "");
        EXPECT_FALSE(v.empty()) << english;
        EXPECT_TRUE(ValidUtf8(v)) << english;
        for (const char* ph : {"%s", "%d"}) {
            auto count = [&](const std::string& s) {
                int n = 0;
                for (size_t p = s.find(ph); p != s.npos; p = s.find(ph, p + 1)) ++n;
                return n;
            };
            EXPECT_EQ(count(v), count(english)) << english;
        }
        // An accelerator stays one accelerator.
        if (english.find('&') != std::string::npos) {
            EXPECT_EQ(std::count(v.begin(), v.end(), '&'), 1) << english;
        }
    }
    // Nothing in the file that the program never asks for (a misspelt key).
    for (const std::string& key : de.ReadSection("String")) EXPECT_TRUE(known.count(Fold(key))) << key;
    // Hints are found under their made-up keys, not their English text.
    EXPECT_FALSE(de.ValueExists("String", "Crop your selected photo"));
    EXPECT_EQ(de.ReadString("String", "Hint08", ""), "Das ausgewählte Foto zuschneiden");
}

TEST_F(Languages, TemplateListsEveryKeyWithItsEnglishText) {
    const TIniFile tpl(ShippedLanguage("template.ini"));
    EXPECT_EQ(tpl.ReadString("Info", "Language", "-"), "");
    EXPECT_EQ(tpl.ReadSection("String").size(), LanguageKeys().size());
    for (const TLanguageKey& k : LanguageKeys()) {
        std::string english(k.Default);
        std::replace(english.begin(), english.end(), '\n', ' ');
        EXPECT_EQ(tpl.ReadString("String", k.Key, "<missing>"), english) << k.Key;
    }
}

TEST_F(Languages, ShippedFolderOffersGermanOnly) {
    const std::string dir = MakeTempDir();
    for (const char* name : {"Deutsch.ini", "template.ini"})
        fs::copy_file(ShippedLanguage(name), dir + "/" + name);
    BuildLanguageList(dir);
    ASSERT_EQ(LanguageFiles(), (std::vector<std::string>{"Deutsch.ini"}));
    EXPECT_EQ(LanguageMenu(), (std::vector<TLanguageMenuEntry>{{0, "Deutsch"}}));
    SetCurrentLanguage(0);
    EXPECT_EQ(Lang("&File"), "&Datei");
    EXPECT_EQ(Lang("Size"), "Größe");
    EXPECT_EQ(TranslateList(CategoryNames())[1], "Kreis");
    EXPECT_EQ(HintText(22), "Ein Foto mit der Webcam aufnehmen und in diese Collage einfügen");
}
