// Fuzzes the INI reader with the input as the text of an INI file, read the
// three ways the program reads one: as plain text, as the configuration
// (cfg.ini, then written and read back: the second read must give the same
// settings) and as the current language file (every key of the key table
// looked up).
//
// The parsed text written out and parsed again must give the same sections,
// keys and values.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "language/IniFile.h"
#include "language/Language.h"
#include "persistence/Configuration.h"

namespace fs = std::filesystem;

namespace {

std::string gWork;

void Write(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

// Every value of a, read through b as well.
void ExpectSameContent(const TIniFile& a, const TIniFile& b) {
    if (a.ReadSections() != b.ReadSections()) Fail("sections differ", a.Text());
    for (const std::string& section : a.ReadSections()) {
        if (a.ReadSection(section) != b.ReadSection(section)) Fail("keys differ", section);
        for (const std::string& key : a.ReadSection(section)) {
            if (a.ReadString(section, key, "\x01") != b.ReadString(section, key, "\x02"))
                Fail("value differs", section + " / " + key);
            if (a.ReadInteger(section, key, 7) != b.ReadInteger(section, key, 7))
                Fail("integer differs", key);
            const double fa = a.ReadFloat(section, key, 0.5), fb = b.ReadFloat(section, key, 0.5);
            if (!(fa == fb)) Fail("float differs", key);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Writing the configuration flushes it to disk; in memory that costs
    // nothing, so the files live there when the system offers it.
    char shm[] = "/dev/shm/velmora-fuzz-ini-XXXXXX", tmp[] = "/tmp/velmora-fuzz-ini-XXXXXX";
    const char* work = mkdtemp(shm);
    gWork = work ? work : mkdtemp(tmp);
    fs::create_directories(gWork + "/Languages");
    fs::create_directories(gWork + "/config");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    TIniFile parsed;
    parsed.SetText(text);
    TIniFile again;
    again.SetText(parsed.Text());
    ExpectSameContent(parsed, again);
    if (again.Text() != parsed.Text()) Fail("text not stable", parsed.Text());

    // The configuration: read, written, read back.
    const std::string config = gWork + "/config";
    Write(config + "/cfg.ini", data, size);
    TConfiguration first;
    ReadConfiguration(first, config);
    if (!WriteConfiguration(first, config)) Fail("configuration not written", config);
    TConfiguration second;
    ReadConfiguration(second, config);
    if (!(first == second)) Fail("configuration differs after writing", parsed.Text());

    // The language file: listed, chosen, every text looked up.
    const std::string languages = gWork + "/Languages";
    Write(languages + "/Fuzz.ini", data, size);
    BuildLanguageList(languages);
    (void)LanguageMenu();
    SetCurrentLanguage(0);
    for (const TLanguageKey& key : LanguageKeys()) {
        const std::string shown = Lang(key.Key);
        if (shown.empty() || shown.size() > TIniFile::MaxValueLength)
            Fail("bad translation", std::string(key.Key));
    }
    SetCurrentLanguage(-1);
    return 0;
}
