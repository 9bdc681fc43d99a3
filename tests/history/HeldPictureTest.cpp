// Pictures kept by the history: every form gives back the exact pixels,
// steps compress their older pictures and spill them past the memory budget,
// and the cache folders of programs that are gone are cleaned up.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "common/TestSupport.h"
#include "history/HistoryRecords.h"

namespace fs = std::filesystem;

namespace {
TBitmap32 Noise(int w, int h, uint32_t seed) {
    TBitmap32 b(w, h);
    std::mt19937 rng(seed);
    for (size_t i = 0; i < b.PixelCount(); ++i) b.Bits()[i] = rng() & (i % 3 ? 0xFFFFFFFFu : 0xFF0F0F0Fu);
    b.MasterAlpha = uint8_t(seed);
    b.DrawMode = TDrawMode::Blend;
    return b;
}

void ExpectExact(const THeldPicture& held, const TBitmap32& want) {
    TBitmap32 got;
    held.CopyTo(got);
    EXPECT_EQ(MaxChannelDiff(got, want), 0);
    EXPECT_EQ(got.MasterAlpha, want.MasterAlpha);
    EXPECT_EQ(got.DrawMode, want.DrawMode);
    EXPECT_TRUE(held.SamePixels(want));
}

struct TBudget {
    explicit TBudget(size_t bytes) : Old(HeldPictureMemoryBudget()) { SetHeldPictureMemoryBudget(bytes); }
    ~TBudget() { SetHeldPictureMemoryBudget(Old); }
    size_t Old;
};
} // namespace

TEST(HeldPictures, EveryFormGivesBackTheExactPixels) {
    for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {1000, 700}, {257, 4099}}) {
        const TBitmap32 src = Noise(w, h, uint32_t(w + h));
        THistoryPicture p = HoldPicture(src);
        EXPECT_EQ(p->Form(), THeldPicture::TForm::Raw);
        ExpectExact(*p, src);
        ASSERT_TRUE(p->Compress());
        EXPECT_EQ(p->Form(), THeldPicture::TForm::Compressed);
        ExpectExact(*p, src);
        TBitmap32 other = src;
        other.Bits()[other.PixelCount() - 1] ^= 1;
        EXPECT_FALSE(p->SamePixels(other));
        const std::string dir = MakeTempDir();
        ASSERT_TRUE(p->Spill(dir));
        EXPECT_EQ(p->Form(), THeldPicture::TForm::Spilled);
        EXPECT_EQ(p->HeldBytes(), 0u);
        ExpectExact(*p, src);
        p.reset(); // its file goes with it
        EXPECT_TRUE(fs::is_empty(dir));
    }
    // a smooth picture compresses to a small part of its size
    TBitmap32 smooth(600, 400);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x)
            smooth.SetPixel(x, y, Color32(uint8_t(x / 3), uint8_t(y / 2), uint8_t(x + y)));
    THistoryPicture s = HoldPicture(smooth);
    ASSERT_TRUE(s->Compress());
    EXPECT_LT(s->HeldBytes(), smooth.PixelCount() * 4 / 20);
}

TEST(HeldPictures, OlderStepsAreCompressedAndSpilledPastTheBudget) {
    TBudget budget(0); // every compressed picture goes to a file at once
    TUnReDo history;
    std::vector<TBitmap32> pictures;
    std::vector<THistoryPicture> held;
    for (int i = 0; i < 4; ++i) {
        pictures.push_back(Noise(300, 200, uint32_t(i)));
        history.PushStep().Kind = THistoryKind::ReplacePicture;
        auto& r = history.Add<TPictureRecord>(0);
        r.Before.Picture = held.empty() ? HoldPicture(Noise(300, 200, 99)) : held.back(); // shared
        held.push_back(HoldPicture(pictures.back()));
        r.After.Picture = held.back();
    }
    WaitForHeldPictures(0);
    // the picture of the newest step stays raw; the older ones left memory
    // (the newest step's before is the step before's after)
    EXPECT_EQ(held[3]->Form(), THeldPicture::TForm::Raw);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(held[size_t(i)]->Form(), THeldPicture::TForm::Spilled) << i;
    const std::string folder = HeldPictureFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(fs::exists(folder + "/lock"));
    for (int i = 0; i < 4; ++i) ExpectExact(*held[size_t(i)], pictures[size_t(i)]);
    // dropped steps take their files with them
    history.Clear();
    held.clear();
    int files = 0;
    for (const auto& e : fs::directory_iterator(folder)) files += e.path().extension() == ".pic";
    EXPECT_EQ(files, 0);
    EXPECT_EQ(CompressedPictureBytes(), 0u);
}

TEST(HeldPictures, AbandonedCacheFoldersAreRemovedOnlyWhenTheirProgramIsGone) {
    const std::string root = MakeTempDir();
    qputenv("XDG_CACHE_HOME", root.c_str());
    const std::string running = root + "/velmora/history-1-1", gone = root + "/velmora/history-2-2";
    fs::create_directories(running);
    fs::create_directories(gone);
    for (const std::string& f : {running + "/lock", gone + "/lock", gone + "/7.pic"}) std::ofstream(f) << "x";
    // the running program holds the lock on its folder's lock file
    const int fd = ::open((running + "/lock").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    CleanAbandonedHistoryFolders();
    EXPECT_TRUE(fs::exists(running));
    EXPECT_FALSE(fs::exists(gone));
    ::close(fd); // that program ends
    CleanAbandonedHistoryFolders();
    EXPECT_FALSE(fs::exists(running));
    qunsetenv("XDG_CACHE_HOME");
}
