#pragma once
// A small INI file module with the rules the configuration and the language
// files are written for:
//  - sections and keys are matched without regard to ASCII case; every other
//    byte (UTF-8 included) is compared and kept as it is;
//  - "[name]" on a line of its own (no '=' on it) opens a section; any other
//    line with a '=' is a key line: the key is everything before the FIRST
//    '=' and may hold blanks, ':', '&', '%', '[', ']' and quotes;
//  - keys and values are trimmed of surrounding blanks; a value is one line;
//    reading gives at most 2047 bytes of it (cut at a character boundary);
//  - lines starting with ';' are comments; lines without '=' are ignored;
//  - the first occurrence of a key wins, and a section that appears twice
//    reads as one;
//  - files are UTF-8, with LF, CR LF or CR line ends and an optional BOM;
//    a missing or unreadable file reads as empty.
// The file is read once when the object is made; writes change the copy in
// memory until UpdateFile, which replaces the file atomically. Hostile files
// cost bounded memory: only the first few megabytes and a bounded number of
// keys are taken, NUL ends a line's content.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TIniFile {
public:
    // Longest value ReadString hands out, in bytes.
    static constexpr size_t MaxValueLength = 2047;
    // Input limits: bytes read from a file, bytes kept of one line, and the
    // number of sections plus keys kept.
    static constexpr size_t MaxFileSize = 4u << 20;
    static constexpr size_t MaxLineLength = 64u << 10;
    static constexpr size_t MaxEntries = 65536;

    // Reads the file (a missing, unreadable or non-regular file reads as
    // empty). An empty name gives an empty object that UpdateFile cannot save.
    explicit TIniFile(std::string fileName = {});

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // Decimal with an optional sign, or hexadecimal as "$1F" or "0x1F"; the
    // whole trimmed value must be the number and fit 32 bits, else def.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    // Any integer other than 0 is true; anything unreadable gives def.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    // '.' or ',' as the decimal separator, optional exponent; unreadable,
    // infinite or NaN values give def.
    double ReadFloat(std::string_view section, std::string_view key, double def) const;

    // Sections and keys keep the order in which they first appeared. A value
    // is stored as a later read would see it: line breaks become blanks, a NUL
    // ends it, blanks around it go. Names that a file cannot carry (empty,
    // with a line break or NUL, a key with '=' or starting with ';', a section
    // with '=' or ']') are not written.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    // Shortest decimal form that reads back to the same double, always with
    // '.', so files move between machines with different number settings.
    void WriteFloat(std::string_view section, std::string_view key, double value);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // Keys of a section in file order (empty when the section is missing).
    std::vector<std::string> ReadSection(std::string_view section) const;
    std::vector<std::string> ReadSections() const;
    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);
    // Forgets everything read, so UpdateFile writes only what comes after.
    void Clear();

    // Parses text as if it were the file's content (replaces what is held).
    void SetText(std::string_view text);
    // The content UpdateFile writes: LF line ends, a blank line between
    // sections, no BOM.
    std::string Text() const;

    // Writes the whole content to a temporary file beside the target, flushes
    // it to disk and renames it into place, so the file is either the old one
    // or the complete new one. False (and nothing changed) on any failure.
    bool UpdateFile() const;

private:
    struct TEntry {
        std::string Key, Value;
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
        std::unordered_map<std::string, size_t> Index; // folded key -> entry
    };

    const TSection* FindSection(std::string_view section) const;
    TSection* FindSection(std::string_view section);
    const std::string* FindValue(std::string_view section, std::string_view key) const;
    TSection& AddSection(std::string_view name);
    void ParseLine(std::string_view line, TSection*& current);

    std::string FFileName;
    std::vector<TSection> FSections;
    std::unordered_map<std::string, size_t> FSectionIndex; // folded name -> section
    size_t FEntryCount = 0;                                // sections + keys taken while parsing
};

// Writes data to path through a temporary file in the same folder, flushed to
// disk before it is renamed over the target (a symbolic link is followed, so
// the link stays). False on any failure; the temporary file is then removed.
bool WriteFileAtomically(const std::string& path, std::string_view data);
