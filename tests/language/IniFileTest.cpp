#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

#include "common/TestSupport.h"
#include "language/IniFile.h"

namespace fs = std::filesystem;

namespace {

void WriteRaw(const std::string& path, std::string_view data) {
    std::ofstream out(path, std::ios::binary);
    out.write(data.data(), std::streamsize(data.size()));
}

std::string ReadRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TIniFile Parse(std::string_view text) {
    TIniFile ini;
    ini.SetText(text);
    return ini;
}

} // namespace

TEST(IniFile, KeyIsEverythingBeforeTheFirstEqualsSign) {
    const TIniFile ini = Parse("[String]\n"
                               "The project folder [%s] has existed, do you want to overwrite?=Ordner [%s]?\n"
                               "Top:=Oben:\n"
                               "&File=&Datei\n"
                               "Click left mouse button or press 'Esc' key to close=Klicken\n"
                               "[Bracket]=starts with a bracket\n"
                               "50% off=half\n"
                               "  Key With Spaces \t=   spaced value\t \n"
                               "a=b=c\n"
                               "empty=\n");
    EXPECT_EQ(ini.ReadString("String", "The project folder [%s] has existed, do you want to overwrite?", "-"),
              "Ordner [%s]?");
    EXPECT_EQ(ini.ReadString("String", "Top:", "-"), "Oben:");
    EXPECT_EQ(ini.ReadString("String", "&File", "-"), "&Datei");
    EXPECT_EQ(ini.ReadString("String", "Click left mouse button or press 'Esc' key to close", "-"),
              "Klicken");
    // A bracketed line with '=' is a key, not a section header.
    EXPECT_EQ(ini.ReadString("String", "[Bracket]", "-"), "starts with a bracket");
    EXPECT_FALSE(ini.SectionExists("Bracket"));
    EXPECT_EQ(ini.ReadString("String", "50% off", "-"), "half");
    EXPECT_EQ(ini.ReadString("String", "Key With Spaces", "-"), "spaced value");
    EXPECT_EQ(ini.ReadString("String", "a", "-"), "b=c");
    // Present but empty is not missing.
    EXPECT_EQ(ini.ReadString("String", "empty", "-"), "");
    EXPECT_EQ(ini.ReadString("String", "absent", "-"), "-");
    EXPECT_EQ(ini.ReadSection("String").size(), 9u);
}

TEST(IniFile, SectionsAndKeysIgnoreAsciiCaseOnly) {
    const TIniFile ini = Parse("[info]\nLANGUAGE=Deutsch\n[String]\nGröße=Size\n");
    EXPECT_EQ(ini.ReadString("Info", "Language", ""), "Deutsch");
    EXPECT_EQ(ini.ReadString("INFO", "language", ""), "Deutsch");
    EXPECT_EQ(ini.ReadString("string", "GRöSSE", "-"), "-");
    EXPECT_EQ(ini.ReadString("string", "GRößE", "-"), "Size"); // only the ASCII letters folded
    EXPECT_EQ(ini.ReadString("string", "GRÖßE", "-"), "-");    // Ö is not ö
    EXPECT_TRUE(ini.SectionExists("INFO"));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"info", "String"}));
}

TEST(IniFile, FirstOccurrenceWinsAndRepeatedSectionsJoin) {
    const TIniFile ini = Parse("orphan=before any section\n"
                               "[A]\nk=first\nK=second\n; k=comment\n"
                               "no equals sign here\n"
                               "  ;also=comment\n"
                               "[B]\nx=1\n"
                               "[a]\nk=third\nlate=yes\n"
                               "[Unclosed\nafter=unclosed\n");
    EXPECT_EQ(ini.ReadString("A", "k", ""), "first");
    EXPECT_EQ(ini.ReadString("A", "late", ""), "yes");
    EXPECT_FALSE(ini.ValueExists("A", ";also"));
    EXPECT_FALSE(ini.ValueExists("A", "no equals sign here"));
    EXPECT_EQ(ini.ReadSection("A"), (std::vector<std::string>{"k", "late", "after"}));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"A", "B"}));
}

TEST(IniFile, ValuesAreCutAt2047BytesOnACharacterBoundary) {
    const std::string longValue(3000, 'x');
    std::string utf8(2046, 'y');
    utf8 += "ä"; // bytes 2046 and 2047: the cut would split it
    utf8 += "zz";
    const TIniFile ini =
        Parse("[S]\nlong=" + longValue + "\nutf8=" + utf8 + "\nexact=" + std::string(2047, 'e'));
    EXPECT_EQ(ini.ReadString("S", "long", ""), std::string(2047, 'x'));
    EXPECT_EQ(ini.ReadString("S", "utf8", ""), std::string(2046, 'y'));
    EXPECT_EQ(ini.ReadString("S", "exact", "").size(), 2047u);
}

TEST(IniFile, LineEndsAndByteOrderMark) {
    const TIniFile crlf = Parse("\xEF\xBB\xBF[Info]\r\nLanguage=Deutsch\r\n\r\n[String]\r\n&File=&Datei\r\n");
    EXPECT_EQ(crlf.ReadString("Info", "Language", ""), "Deutsch");
    EXPECT_EQ(crlf.ReadString("String", "&File", ""), "&Datei");
    const TIniFile cr = Parse("[S]\ra=1\rb=2");
    EXPECT_EQ(cr.ReadInteger("S", "a", 0), 1);
    EXPECT_EQ(cr.ReadInteger("S", "b", 0), 2);
}

TEST(IniFile, NumbersBooleansAndReals) {
    const TIniFile ini =
        Parse("[N]\n"
              "a=42\nb= -7 \nc=$1F\nd=0x10\ne=12abc\nf=\ng=99999999999\nh=+5\n"
              "i=2147483647\nj=-2147483648\nk=2147483648\nl=$FFFFFFFF\nm=--3\n"
              "t1=1\nt0=0\nt5=5\ntm=-1\nyes=yes\n"
              "r1=20\nr2=2.5\nr3=2,5\nr4=1e3\nr5=abc\nr6=nan\nr7=inf\nr8=1,000.5\nr9=-0.125\n");
    EXPECT_EQ(ini.ReadInteger("N", "a", 0), 42);
    EXPECT_EQ(ini.ReadInteger("N", "b", 0), -7);
    EXPECT_EQ(ini.ReadInteger("N", "c", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "d", 0), 16);
    EXPECT_EQ(ini.ReadInteger("N", "e", 9), 9);
    EXPECT_EQ(ini.ReadInteger("N", "f", 9), 9);
    EXPECT_EQ(ini.ReadInteger("N", "g", 9), 9);
    EXPECT_EQ(ini.ReadInteger("N", "h", 9), 5);
    EXPECT_EQ(ini.ReadInteger("N", "i", 9), 2147483647);
    EXPECT_EQ(ini.ReadInteger("N", "j", 9), -2147483647 - 1);
    EXPECT_EQ(ini.ReadInteger("N", "k", 9), 9);
    EXPECT_EQ(ini.ReadInteger("N", "l", 9), -1);
    EXPECT_EQ(ini.ReadInteger("N", "m", 9), 9);
    EXPECT_EQ(ini.ReadInteger("N", "missing", 9), 9);

    EXPECT_TRUE(ini.ReadBool("N", "t1", false));
    EXPECT_FALSE(ini.ReadBool("N", "t0", true));
    EXPECT_TRUE(ini.ReadBool("N", "t5", false));
    EXPECT_TRUE(ini.ReadBool("N", "tm", false));
    EXPECT_TRUE(ini.ReadBool("N", "yes", true));
    EXPECT_FALSE(ini.ReadBool("N", "yes", false));

    EXPECT_EQ(ini.ReadFloat("N", "r1", 0), 20.0);
    EXPECT_EQ(ini.ReadFloat("N", "r2", 0), 2.5);
    EXPECT_EQ(ini.ReadFloat("N", "r3", 0), 2.5);
    EXPECT_EQ(ini.ReadFloat("N", "r4", 0), 1000.0);
    EXPECT_EQ(ini.ReadFloat("N", "r5", 7.5), 7.5);
    EXPECT_EQ(ini.ReadFloat("N", "r6", 7.5), 7.5);
    EXPECT_EQ(ini.ReadFloat("N", "r7", 7.5), 7.5);
    EXPECT_EQ(ini.ReadFloat("N", "r8", 7.5), 7.5);
    EXPECT_EQ(ini.ReadFloat("N", "r9", 0), -0.125);
}

TEST(IniFile, RealsAreWrittenShortestAndReadBackExactly) {
    const double values[] = {20.0, 0.1, 1.0 / 3.0, 1e-300, -0.5, 123456789.125, 2.54 / 96.0};
    TIniFile ini;
    for (size_t i = 0; i < std::size(values); ++i) ini.WriteFloat("R", "v" + std::to_string(i), values[i]);
    const std::string text = ini.Text();
    EXPECT_NE(text.find("v0=20\n"), std::string::npos) << text;
    EXPECT_NE(text.find("v1=0.1\n"), std::string::npos) << text;
    EXPECT_EQ(text.find(','), std::string::npos) << text;
    const TIniFile back = Parse(text);
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(back.ReadFloat("R", "v" + std::to_string(i), -1), values[i]) << i;
}

TEST(IniFile, WritingKeepsOrderAndCannotInjectLines) {
    TIniFile ini;
    ini.WriteString("System", "Width", "1");
    ini.WriteString("System", "Height", "2");
    ini.WriteString("Other", "x", "y");
    ini.WriteString("SYSTEM", "WIDTH", "3"); // replaces in place, keeps the first spelling
    ini.WriteString("System", "Path", "a\n[Evil]\nx=1");
    ini.WriteString("System", "bad=key", "v");
    ini.WriteString("System", ";comment", "v");
    ini.WriteString("Bad]Section", "k", "v");
    ini.WriteString("System", "  padded  ", "  v  ");
    EXPECT_EQ(ini.Text(), "[System]\nWidth=3\nHeight=2\nPath=a [Evil] x=1\npadded=v\n\n[Other]\nx=y\n");

    const TIniFile back = Parse(ini.Text());
    EXPECT_FALSE(back.SectionExists("Evil"));
    EXPECT_EQ(back.ReadString("System", "Path", ""), "a [Evil] x=1");
    EXPECT_EQ(back.ReadString("System", "padded", ""), "v");
}

TEST(IniFile, TextRoundTripsEveryKindOfKey) {
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"The project folder [%s] has existed, do you want to overwrite?", "Der Ordner [%s] existiert"},
        {"[Bracket]", "x"},
        {"Top:", "Oben: = Wert"},
        {"Click left mouse button or press 'Esc' key to close", "'Esc'"},
        {"Größe", "ÄÖÜ ß €"},
    };
    TIniFile ini;
    for (const auto& [k, v] : pairs) ini.WriteString("String", k, v);
    const TIniFile back = Parse(ini.Text());
    for (const auto& [k, v] : pairs) EXPECT_EQ(back.ReadString("String", k, "-"), v) << k;
    EXPECT_EQ(back.ReadSection("String").size(), pairs.size());
}

TEST(IniFile, DeleteKeyAndEraseSection) {
    TIniFile ini = Parse("[A]\na=1\nb=2\nc=3\n[B]\nx=1\n[C]\ny=2\n");
    ini.DeleteKey("a", "B");
    EXPECT_EQ(ini.ReadSection("A"), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(ini.ReadInteger("A", "c", 0), 3);
    ini.EraseSection("b");
    EXPECT_FALSE(ini.SectionExists("B"));
    EXPECT_EQ(ini.ReadInteger("C", "y", 0), 2);
}

TEST(IniFile, MissingAndNonRegularFilesReadAsEmpty) {
    const std::string dir = MakeTempDir();
    const TIniFile missing(dir + "/nothing.ini");
    EXPECT_TRUE(missing.ReadSections().empty());
    EXPECT_EQ(missing.ReadString("A", "b", "def"), "def");
    EXPECT_FALSE(missing.SectionExists("A"));

    fs::create_directory(dir + "/folder.ini");
    EXPECT_TRUE(TIniFile(dir + "/folder.ini").ReadSections().empty());

    // A FIFO would block a plain read for ever.
    ASSERT_EQ(mkfifo((dir + "/pipe.ini").c_str(), 0600), 0);
    EXPECT_TRUE(TIniFile(dir + "/pipe.ini").ReadSections().empty());
}

TEST(IniFile, HostileInputStaysBounded) {
    // Binary junk rich in the bytes the parser looks at.
    std::mt19937 rng(1234);
    const char alphabet[] = {'[', ']', '=', ';', '\n', '\r', '\0', ' ', 'a', 'B', '\xC3', '\xA4', '\xFF'};
    std::string junk(1 << 20, '\0');
    for (char& c : junk) c = (rng() % 3) ? alphabet[rng() % sizeof alphabet] : char(rng());
    TIniFile ini = Parse(junk);
    for (const std::string& s : ini.ReadSections())
        for (const std::string& k : ini.ReadSection(s)) EXPECT_LE(ini.ReadString(s, k, "").size(), 2047u);
    EXPECT_EQ(Parse(ini.Text()).Text(), ini.Text()); // what it holds writes and re-reads unchanged

    // NUL ends the line's content.
    EXPECT_EQ(Parse(std::string("[S]\na=12\0junk=3\nb=4\n", 20)).ReadString("S", "a", ""), "12");
    EXPECT_EQ(Parse(std::string("[S]\na=12\0junk=3\nb=4\n", 20)).ReadInteger("S", "b", 0), 4);

    // One enormous line.
    const TIniFile huge = Parse("[S]\nk=" + std::string(10 << 20, 'v') + "\nnext=1\n");
    EXPECT_EQ(huge.ReadString("S", "k", "").size(), 2047u);
    EXPECT_EQ(huge.ReadInteger("S", "next", 0), 1);

    // Far more keys than kept.
    std::string many = "[S]\n";
    for (int i = 0; i < 100000; ++i) many += "k" + std::to_string(i) + "=1\n";
    const TIniFile lots = Parse(many);
    EXPECT_EQ(lots.ReadSection("S").size(), TIniFile::MaxEntries - 1);
    EXPECT_TRUE(lots.ValueExists("S", "k0"));
    EXPECT_FALSE(lots.ValueExists("S", "k99999"));
}

TEST(IniFile, OnlyTheHeadOfAnOversizedFileIsRead) {
    const std::string path = MakeTempDir() + "/big.ini";
    std::string data = "[S]\nfirst=1\n";
    data += std::string(TIniFile::MaxFileSize, ';');
    data += "\nlast=1\n";
    WriteRaw(path, data);
    const TIniFile ini(path);
    EXPECT_TRUE(ini.ValueExists("S", "first"));
    EXPECT_FALSE(ini.ValueExists("S", "last"));
}

TEST(IniFile, UpdateFileWritesCompletelyAndLeavesNoTemporaryFile) {
    const std::string dir = MakeTempDir();
    const std::string path = dir + "/cfg.ini";
    WriteRaw(path, "[Old]\nkept=no\n");
    TIniFile ini(path);
    ini.Clear();
    ini.WriteString("System", "Width", "1024");
    ini.WriteString("String", "&File", "&Datei");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_EQ(ReadRaw(path), "[System]\nWidth=1024\n\n[String]\n&File=&Datei\n");
    EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{"cfg.ini"}));
    EXPECT_EQ(TIniFile(path).ReadString("string", "&file", ""), "&Datei");
}

TEST(IniFile, FailedWriteKeepsTheOldFile) {
    const std::string dir = MakeTempDir();
    const std::string path = dir + "/cfg.ini";
    const std::string old = "[System]\nWidth=800\n" + std::string(4000, ';') + "\n";
    WriteRaw(path, old);

    TIniFile ini;
    ini.WriteString("System", "Big", std::string(2000, 'x'));
    for (int i = 0; i < 50; ++i) ini.WriteString("More", "k" + std::to_string(i), std::string(100, 'y'));

    // A full disk, simulated by a file size limit (effective for root too).
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(path, ini.Text());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadRaw(path), old);
    EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{"cfg.ini"}));

    // A target that cannot be replaced (a folder of that name): the
    // temporary file is removed again.
    const std::string blocked = dir + "/blocked.ini";
    fs::create_directory(blocked);
    WriteRaw(blocked + "/inside", "x");
    EXPECT_FALSE(WriteFileAtomically(blocked, "[A]\nb=1\n"));
    EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{"blocked.ini", "cfg.ini"}));

    // A folder that does not exist.
    EXPECT_FALSE(WriteFileAtomically(dir + "/no/such/folder/cfg.ini", "x"));
    EXPECT_FALSE(TIniFile().UpdateFile());
}

TEST(IniFile, UpdateFileFollowsASymbolicLinkAndKeepsTheMode) {
    const std::string dir = MakeTempDir();
    const std::string real = dir + "/real.ini";
    WriteRaw(real, "[A]\nb=1\n");
    chmod(real.c_str(), 0640);
    fs::create_symlink(real, dir + "/link.ini");
    TIniFile ini(dir + "/link.ini");
    ini.WriteString("A", "b", "2");
    ASSERT_TRUE(ini.UpdateFile());
    EXPECT_TRUE(fs::is_symlink(dir + "/link.ini"));
    EXPECT_EQ(ReadRaw(real), "[A]\nb=2\n");
    struct stat st {};
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}
