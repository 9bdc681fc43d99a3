// The widget-free rules of the thumbnail grids and the category lists.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "browser/BrowserFixtures.h"
#include "browser/Categories.h"
#include "browser/PicGrid.h"
#include "common/TestSupport.h"

TEST(GridPlacement, ColumnsFromTheWidth) {
    const TGridMetrics m;              // 80 x 80, border 2, slack 40
    EXPECT_EQ(GridColumns(284, m), 3); // (284 + 40) div 82
    EXPECT_EQ(GridColumns(287, m), 3);
    EXPECT_EQ(GridColumns(288, m), 4);
    EXPECT_EQ(GridColumns(0, m), 1);
    EXPECT_EQ(GridColumns(-500, m), 1);
    EXPECT_EQ(GridColumns(41, m), 1);
    const TGridMetrics texture{47, 47, 1, 10};
    EXPECT_EQ(GridColumns(263, texture), 5); // (263 + 10) div 48
    EXPECT_EQ(GridColumns(284, texture), 6);
    const TGridMetrics degenerate{0, 0, 0, 10};
    EXPECT_EQ(GridColumns(500, degenerate), 1);
}

TEST(GridPlacement, CellCornersUseRowAndColumnPitch) {
    const TGridMetrics m;
    EXPECT_EQ(m.ColumnPitch(), 82);
    EXPECT_EQ(m.RowPitch(), 92);
    EXPECT_EQ(CellPosition(0, 3, m), (TPoint{2, 2}));
    EXPECT_EQ(CellPosition(2, 3, m), (TPoint{166, 2}));
    EXPECT_EQ(CellPosition(3, 3, m), (TPoint{2, 94}));
    EXPECT_EQ(CellPosition(7, 3, m), (TPoint{84, 186}));
    // seen through a scrolled view
    EXPECT_EQ(CellPosition(7, 3, m, 5, 100), (TPoint{79, 86}));
    // one column
    EXPECT_EQ(CellPosition(4, 1, m), (TPoint{2, 2 + 4 * 92}));
    const TGridMetrics texture{47, 47, 1, 10};
    EXPECT_EQ(CellPosition(6, 5, texture), (TPoint{49, 59}));
}

TEST(GridFiles, ExtensionFilters) {
    EXPECT_EQ(UpperExtension("a.Jpg"), ".JPG");
    EXPECT_EQ(UpperExtension("noext"), "");
    EXPECT_EQ(UpperExtension("dir.d/noext"), "");
    EXPECT_EQ(UpperExtension("a.tar.gz"), ".GZ");

    const TPicFilter photo{true, false, false}, mask{false, true, false}, frame{false, false, true}, none{};
    for (const char* f : {"a.png", "a.GIF", "a.bmp", "a.Jpg", "a.jpeg"})
        EXPECT_TRUE(AcceptsFile(f, photo)) << f;
    for (const char* f : {"a.msk", "a.frm", "a.txt", "a", "a.jpg.txt"})
        EXPECT_FALSE(AcceptsFile(f, photo)) << f;
    EXPECT_TRUE(AcceptsFile("m.MSK", mask));
    EXPECT_FALSE(AcceptsFile("m.jpg", mask));
    EXPECT_TRUE(AcceptsFile("f.Frm", frame));
    EXPECT_FALSE(AcceptsFile("f.msk", frame));
    // no filter: the seven picture extensions and nothing else
    for (const char* f : {"a.png", "a.gif", "a.bmp", "a.jpg", "a.jpeg", "a.msk", "a.frm"})
        EXPECT_TRUE(AcceptsFile(f, none)) << f;
    EXPECT_FALSE(AcceptsFile("a.tiff", none));
    // two filters at once: nothing passes both
    const TPicFilter photoAndMask{true, true, false};
    for (const char* f : {"a.png", "a.msk", "a.jpg"}) EXPECT_FALSE(AcceptsFile(f, photoAndMask)) << f;
}

TEST(GridFiles, ScanSkipsFoldersAndOtherFilesAndSortsByName) {
    const std::string dir = MakeTempDir();
    for (const char* f : {"b.JPG", "a.png", "C.jpeg", "notes.txt", "m.msk", "f.frm", "Z.Bmp", "y.gif"})
        WriteBytes(dir + "/" + f, "x");
    MakeFolder(dir + "/sub");
    WriteBytes(dir + "/sub/inner.png", "x");                 // not descended
    MakeFolder(dir + "/folder.png");                         // a folder named like a picture
    ASSERT_EQ(mkfifo((dir + "/pipe.png").c_str(), 0600), 0); // would block a reader
    const std::vector<std::string> photos = ScanPictureFiles(dir, {true, false, false});
    EXPECT_EQ(photos, (std::vector<std::string>{"a.png", "b.JPG", "C.jpeg", "y.gif", "Z.Bmp"}));
    const std::vector<std::string> all = ScanPictureFiles(dir, {});
    EXPECT_EQ(all,
              (std::vector<std::string>{"a.png", "b.JPG", "C.jpeg", "f.frm", "m.msk", "y.gif", "Z.Bmp"}));
    EXPECT_EQ(ScanPictureFiles(dir, {false, true, false}), (std::vector<std::string>{"m.msk"}));
    EXPECT_TRUE(ScanPictureFiles(dir, {true, true, false}).empty());
    EXPECT_TRUE(ScanPictureFiles(dir + "/missing", {}).empty());
}

TEST(GridFiles, CaptionsAndPaths) {
    EXPECT_EQ(CaptionText("/photos/holiday.beach.jpg", true), "holiday.beach.jpg");
    EXPECT_EQ(CaptionText("/photos/holiday.beach.jpg", false), "holiday.beach");
    EXPECT_EQ(CaptionText("/photos/noext", false), "noext");
    EXPECT_EQ(CaptionText("plain.png", false), "plain");
    EXPECT_EQ(CaptionText("/photos/.png", false), "");

    EXPECT_EQ(JoinPath("/a/b", "c.png"), "/a/b/c.png");
    EXPECT_EQ(JoinPath("/a/b/", "c.png"), "/a/b/c.png");

    EXPECT_EQ(CollapseSeparators("/a//b///c.png"), "/a/b/c.png");
    EXPECT_EQ(CollapseSeparators("Circle\\\\yuan13.msk"), "Circle\\yuan13.msk");
    EXPECT_TRUE(SamePicturePath("/res//Textures/t1.png", "/res/Textures//t1.png"));
    EXPECT_FALSE(SamePicturePath("/res/Textures/t1.png", "/res/textures/t1.png")); // otherwise exact
    EXPECT_FALSE(SamePicturePath("/res/Textures/t1.png", "/res/Textures/t1.png "));
}

TEST(Categories, SubFoldersInNameOrder) {
    const std::string root = MakeTempDir();
    for (const char* d : {"Free", "animals", "Zoo", "Birthday"}) MakeFolder(root + "/Masks/" + d);
    WriteBytes(root + "/Masks/loose.msk", "x"); // files are no categories
    EXPECT_EQ(ListCategories(root + "/Masks/"),
              (std::vector<std::string>{"animals", "Birthday", "Free", "Zoo"}));
    EXPECT_TRUE(ListCategories(root + "/Frames/").empty());
}

TEST(Categories, FirstShowChoosesFreeAndTranslates) {
    const std::string root = MakeTempDir();
    for (const char* d : {"FREE", "Hearts"}) MakeFolder(root + "/Masks/" + d);
    TCategoryPair pair;
    pair.Fill({root + "/Masks/"});
    EXPECT_EQ(pair.ItemIndex, -1);
    EXPECT_TRUE(pair.Names.empty());
    const TLookup lookup = [](const std::string& s) { return s == "FREE" ? std::string("Gratis") : s; };
    EXPECT_TRUE(pair.FirstShow(lookup)); // "Free" found without regard to case
    EXPECT_EQ(pair.ItemIndex, 0);
    EXPECT_EQ(pair.Names, (std::vector<std::string>{"Gratis", "Hearts"}));
    EXPECT_EQ(pair.Current(), "FREE"); // the folder name, not the display name
    pair.Choose(1);
    EXPECT_EQ(pair.Current(), "Hearts");
    pair.Choose(7);
    EXPECT_EQ(pair.Current(), "");

    TCategoryPair noFree;
    MakeFolder(root + "/Frames/Gold");
    noFree.Fill({root + "/Frames/"});
    EXPECT_FALSE(noFree.FirstShow());
    EXPECT_EQ(noFree.ItemIndex, -1);
    EXPECT_EQ(noFree.Names, (std::vector<std::string>{"Gold"}));

    // the user's library beside the shipped one: a category in both is
    // listed once, and its folders come shipped first
    const std::string user = MakeTempDir();
    for (const char* d : {"Gold", "Mine"}) MakeFolder(user + "/Frames/" + d);
    TCategoryPair both;
    both.Fill({root + "/Frames/", user + "/Frames/"});
    both.FirstShow();
    EXPECT_EQ(both.Names, (std::vector<std::string>{"Gold", "Mine"}));
    EXPECT_EQ(CategoryDirectories({root + "/", user + "/"}, "Frames", "Gold"),
              (std::vector<std::string>{root + "/Frames/Gold/", user + "/Frames/Gold/"}));
    EXPECT_EQ(CategoryDirectories({root + "/", user + "/"}, "Frames", "Mine"),
              (std::vector<std::string>{user + "/Frames/Mine/"}));
}

TEST(Categories, NamesAndFolders) {
    EXPECT_EQ(TrimText("  Free \t"), "Free");
    EXPECT_EQ(TrimText(""), "");
    EXPECT_EQ(CategoryDirectory("/res/", "Masks", " Free "), "/res/Masks/Free/");
    EXPECT_EQ(CategoryDirectory("/res", "Cliparts", "Customize"), "/res/Cliparts/Customize/");
    EXPECT_TRUE(IsCustomizeCategory("customize"));
    EXPECT_TRUE(IsCustomizeCategory(" CUSTOMIZE "));
    EXPECT_FALSE(IsCustomizeCategory("Customized"));
    EXPECT_EQ(IndexOfText({"a", "free", "Free"}, "FREE"), 1);
    EXPECT_EQ(IndexOfText({"a"}, "Free"), -1);
    EXPECT_EQ(TranslateCategories({"a", "b"}), (std::vector<std::string>{"a", "b"}));
}
