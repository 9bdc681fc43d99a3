#include "language/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// ASCII case folding only: bytes of multi-byte UTF-8 characters are >= 0x80
// and stay as they are.
std::string Fold(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return r;
}

bool HasAny(std::string_view s, std::string_view chars) {
    return s.find_first_of(chars) != s.npos;
}

// What a later read of the file would give for a written value.
std::string CleanValue(std::string_view value) {
    value = value.substr(0, value.find('\0'));
    std::string r(value);
    for (char& c : r)
        if (c == '\r' || c == '\n') c = ' ';
    return std::string(Trim(r));
}

bool ValidKey(std::string_view key) {
    return !key.empty() && key.front() != ';' && !HasAny(key, std::string_view("=\r\n\0", 4));
}

bool ValidSection(std::string_view section) {
    return !section.empty() && !HasAny(section, std::string_view("=]\r\n\0", 5));
}

bool ParseInt(std::string_view s, int& out) {
    s = Trim(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty() || s.front() == '+' || s.front() == '-') return false;
    uint64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || end != s.data() + s.size()) return false;
    if (base == 16 && !negative) {
        // Hexadecimal spells the 32-bit pattern: $FFFFFFFF is -1.
        if (v > 0xFFFFFFFFull) return false;
        out = int(int32_t(uint32_t(v)));
        return true;
    }
    if (negative ? v > 2147483648ull : v > 2147483647ull) return false;
    out = negative ? int(-int64_t(v)) : int(v);
    return true;
}

bool ParseFloat(std::string_view s, double& out) {
    std::string t(Trim(s));
    if (!t.empty() && t.front() == '+') t.erase(0, 1);
    const size_t comma = t.find(',');
    if (comma != t.npos) {
        // A decimal comma, written by a machine set up that way.
        if (t.find(',', comma + 1) != t.npos || t.find('.') != t.npos) return false;
        t[comma] = '.';
    }
    if (t.empty()) return false;
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

std::string ReadCapped(const std::string& path, size_t limit) {
    std::error_code ec;
    // Only regular files: a FIFO or device would block or never end.
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return {};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    // Read in pieces: a language file of a few kilobytes must not cost the
    // limit in memory each time it is read.
    std::string data;
    char piece[1 << 16];
    while (data.size() < limit) {
        in.read(piece, std::streamsize(std::min(sizeof piece, limit - data.size())));
        if (in.gcount() <= 0) break;
        data.append(piece, size_t(in.gcount()));
    }
    return data;
}

} // namespace

// ---- Reading ----

TIniFile::TIniFile(std::string fileName) : FFileName(std::move(fileName)) {
    if (!FFileName.empty()) SetText(ReadCapped(FFileName, MaxFileSize));
}

void TIniFile::Clear() {
    FSections.clear();
    FSectionIndex.clear();
    FEntryCount = 0;
}

void TIniFile::SetText(std::string_view text) {
    Clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    TSection* current = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == text.npos) end = text.size();
        ParseLine(text.substr(pos, end - pos), current);
        pos = end + 1;
    }
}

void TIniFile::ParseLine(std::string_view line, TSection*& current) {
    line = line.substr(0, line.find('\0'));
    line = Trim(line.substr(0, MaxLineLength));
    if (line.empty() || line.front() == ';') return;
    const size_t eq = line.find('=');
    if (line.front() == '[' && eq == line.npos) {
        const size_t close = line.rfind(']');
        if (close == line.npos) return;
        const std::string_view name = Trim(line.substr(1, close - 1));
        if (TSection* known = FindSection(name)) {
            current = known; // a repeated section continues the first one
            return;
        }
        if (FEntryCount >= MaxEntries) {
            current = nullptr;
            return;
        }
        ++FEntryCount;
        current = &AddSection(name);
        return;
    }
    if (eq == line.npos || !current || FEntryCount >= MaxEntries) return;
    const std::string_view key = Trim(line.substr(0, eq));
    if (key.empty()) return;
    std::string folded = Fold(key);
    if (current->Index.count(folded)) return; // the first occurrence wins
    ++FEntryCount;
    current->Index.emplace(std::move(folded), current->Entries.size());
    current->Entries.push_back({std::string(key), std::string(Trim(line.substr(eq + 1)))});
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view section) const {
    const auto it = FSectionIndex.find(Fold(Trim(section)));
    return it == FSectionIndex.end() ? nullptr : &FSections[it->second];
}

TIniFile::TSection* TIniFile::FindSection(std::string_view section) {
    return const_cast<TSection*>(std::as_const(*this).FindSection(section));
}

TIniFile::TSection& TIniFile::AddSection(std::string_view name) {
    // Pointers into FSections (the parser's current section) stay valid only
    // until the next AddSection; the parser re-takes its pointer from here.
    FSectionIndex.emplace(Fold(name), FSections.size());
    FSections.push_back({std::string(name), {}, {}});
    return FSections.back();
}

const std::string* TIniFile::FindValue(std::string_view section, std::string_view key) const {
    const TSection* s = FindSection(section);
    if (!s) return nullptr;
    const auto it = s->Index.find(Fold(Trim(key)));
    return it == s->Index.end() ? nullptr : &s->Entries[it->second].Value;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    const std::string* v = FindValue(section, key);
    if (!v) return std::string(def);
    if (v->size() <= MaxValueLength) return *v;
    size_t cut = MaxValueLength;
    while (cut > 0 && (static_cast<unsigned char>((*v)[cut]) & 0xC0) == 0x80) --cut;
    return v->substr(0, cut);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const std::string* v = FindValue(section, key);
    int r = def;
    return v && ParseInt(*v, r) ? r : def;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
    const std::string* v = FindValue(section, key);
    double r = def;
    return v && ParseFloat(*v, r) ? r : def;
}

bool TIniFile::SectionExists(std::string_view section) const {
    return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindValue(section, key) != nullptr;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    if (const TSection* s = FindSection(section))
        for (const TEntry& e : s->Entries) keys.push_back(e.Key);
    return keys;
}

std::vector<std::string> TIniFile::ReadSections() const {
    std::vector<std::string> names;
    for (const TSection& s : FSections) names.push_back(s.Name);
    return names;
}

// ---- Writing ----

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    if (!ValidSection(section) || !ValidKey(key)) return;
    TSection* s = FindSection(section);
    if (!s) s = &AddSection(section);
    std::string folded = Fold(key);
    const auto it = s->Index.find(folded);
    if (it != s->Index.end()) {
        s->Entries[it->second].Value = CleanValue(value);
        return;
    }
    s->Index.emplace(std::move(folded), s->Entries.size());
    s->Entries.push_back({std::string(key), CleanValue(value)});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    WriteString(section, key, ec == std::errc() ? std::string_view(buf, size_t(end - buf)) : "0");
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    TSection* s = FindSection(section);
    if (!s) return;
    const auto it = s->Index.find(Fold(Trim(key)));
    if (it == s->Index.end()) return;
    s->Entries.erase(s->Entries.begin() + std::ptrdiff_t(it->second));
    s->Index.clear();
    for (size_t i = 0; i < s->Entries.size(); ++i) s->Index.emplace(Fold(s->Entries[i].Key), i);
}

void TIniFile::EraseSection(std::string_view section) {
    const auto it = FSectionIndex.find(Fold(Trim(section)));
    if (it == FSectionIndex.end()) return;
    FSections.erase(FSections.begin() + std::ptrdiff_t(it->second));
    FSectionIndex.clear();
    for (size_t i = 0; i < FSections.size(); ++i) FSectionIndex.emplace(Fold(FSections[i].Name), i);
}

std::string TIniFile::Text() const {
    std::string out;
    for (size_t i = 0; i < FSections.size(); ++i) {
        if (i) out += '\n';
        out += '[';
        out += FSections[i].Name;
        out += "]\n";
        for (const TEntry& e : FSections[i].Entries) {
            out += e.Key;
            out += '=';
            out += e.Value;
            out += '\n';
        }
    }
    return out;
}

bool TIniFile::UpdateFile() const {
    return !FFileName.empty() && WriteFileAtomically(FFileName, Text());
}

// ---- Atomic replacement ----

bool WriteFileAtomically(const std::string& path, std::string_view data) {
    namespace fs = std::filesystem;
    if (path.empty()) return false;
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::canonical(target, ec);
        if (!ec) target = resolved;
    }
    std::string tmp = target.string() + ".tmp-XXXXXX";
    const int fd = mkstemp(tmp.data());
    if (fd < 0) return false;
    struct stat st {};
    if (stat(target.c_str(), &st) == 0) fchmod(fd, st.st_mode & 07777);

    bool ok = true;
    for (size_t done = 0; ok && done < data.size();) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n > 0)
            done += size_t(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            ok = false;
    }
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(tmp.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here leaves a complete file.
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    const int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return true;
}
