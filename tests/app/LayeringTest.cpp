// The source tree is layered: a folder may include only folders at or below
// its own level, so the document never reaches up into a command and no
// command reaches into the windows. The allowed order is written once, here.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

namespace {

// Bottom first. Folders under a "ui/" sub-folder sit above every folder
// without widgets, in the same order among themselves; the program entry
// (main.cpp) sits above everything.
const char* const kOrder[] = {"platform", "engine",      "history", "language", "document",
                              "editing",  "filters",     "text",    "persistence", "output",
                              "browser",  "chrome",      "app"};

int Rank(const std::string& folder) {
    const bool ui = folder.size() > 3 && folder.ends_with("/ui");
    const std::string base = ui ? folder.substr(0, folder.size() - 3) : folder;
    for (int i = 0; i < int(std::size(kOrder)); ++i)
        if (base == kOrder[i]) return ui ? 100 + i : i;
    return -1;
}

// "engine/Bitmap32.h" -> "engine"; "browser/ui/PicPanel.h" -> "browser/ui".
std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

TEST(Layering, EveryIncludeRunsDownward) {
    namespace fs = std::filesystem;
    const fs::path src = VELMORA_SOURCE_DIR "/src";
    ASSERT_TRUE(fs::is_directory(src));
    const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h") continue;
        const std::string rel = fs::relative(entry.path(), src).generic_string();
        if (rel == "main.cpp") continue;
        const std::string from = FolderOf(rel);
        const int fromRank = Rank(from);
        ASSERT_GE(fromRank, 0) << rel << ": the folder \"" << from << "\" has no place in the order";
        ++files;
        std::ifstream in(entry.path());
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            std::smatch m;
            if (!std::regex_search(line, m, include)) continue;
            const std::string to = FolderOf(m[1].str());
            if (to.empty() || to == from) continue;
            const int toRank = Rank(to);
            EXPECT_GE(toRank, 0) << rel << ":" << n << " includes the unknown folder \"" << to << "\"";
            EXPECT_LT(toRank, fromRank) << rel << ":" << n << " includes " << m[1].str() << ", which lies above "
                                        << from << "/";
        }
    }
    EXPECT_GT(files, 50);
}
