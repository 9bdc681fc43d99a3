#include <gtest/gtest.h>

#include <filesystem>

#include "document/CollageDocument.h"
#include "common/TestSupport.h"
#include "persistence/ProjectCommands.h"
#include "persistence/ProjectFile.h"
#include "persistence/ProjectTestSupport.h"
#include "platform/Paths.h"

namespace fs = std::filesystem;

namespace {

class ProjectCommandsTest : public ::testing::Test {
protected:
    TMiniLibrary Library;
    TScriptedMessages Messages;
    TScriptedDialogs Dialogs;
    std::string Dir = MakeTempDir();

    void Fill(TCollageDocument& doc) {
        doc.ApplyCanvasSettings();
        AddLayer(doc, itClipart, Library.Root + "Cliparts/Animals/cat.png", {0, 0, 40, 30},
                 "Animals\\cat.png");
        doc.SetModified(true);
    }

    // A saved project with n clipart layers.
    std::string SavedProject(const std::string& name, int n) {
        TCollageDocument doc;
        doc.ApplyCanvasSettings();
        for (int i = 0; i < n; ++i)
            AddLayer(doc, itClipart, Library.Root + "Cliparts/Animals/cat.png", {0, 0, 40, 30},
                     "Animals\\cat.png");
        const std::string clv = Dir + "/" + name + ".clv";
        EXPECT_TRUE(SaveProject(doc, clv, false));
        return clv;
    }
};

const std::string kModified = "The project has been modified\rdo you want to save it?";

} // namespace

TEST_F(ProjectCommandsTest, SaveAsksForANameUntilTheCollageIsBound) {
    TCollageDocument doc;
    Fill(doc);
    Dialogs.Results = {{"", 1}, {Dir + "/first", 1}};
    EXPECT_FALSE(SaveProjectCommand(doc)); // cancelled
    EXPECT_TRUE(doc.Modified);
    EXPECT_TRUE(SaveProjectCommand(doc));
    ASSERT_EQ(Dialogs.Requests.size(), 2u);
    EXPECT_EQ(Dialogs.Requests[1].Filter, "Project File(*.clv)|*.clv");
    EXPECT_EQ(Dialogs.Requests[1].DefaultExt, "clv");
    EXPECT_EQ(doc.ProjectFile, Dir + "/first.clv"); // the default extension
    EXPECT_TRUE(FileExists(Dir + "/first.clv"));
    EXPECT_FALSE(doc.Modified);

    // bound to an existing file: saved there without a dialog
    doc.SetModified(true);
    EXPECT_TRUE(SaveProjectCommand(doc));
    EXPECT_EQ(Dialogs.Requests.size(), 2u);
    EXPECT_FALSE(doc.Modified);

    // the file went away: Save asks again
    fs::remove(Dir + "/first.clv");
    Dialogs.Results.push_back({Dir + "/second.clv", 1});
    EXPECT_TRUE(SaveProjectCommand(doc));
    EXPECT_EQ(Dialogs.Requests.size(), 3u);
    EXPECT_EQ(doc.ProjectFile, Dir + "/second.clv");
}

TEST_F(ProjectCommandsTest, SaveAsAlwaysAsksAndReplacesNothingUnasked) {
    TCollageDocument doc;
    Fill(doc);
    ASSERT_TRUE(SaveProject(doc, Dir + "/a.clv", false));
    fs::create_directories(Dir + "/lone_CLV"); // a project folder without its file
    // No goes back to the dialog, with the refused name
    Dialogs.Results = {{Dir + "/a.clv", 1}, {Dir + "/lone", 1}, {Dir + "/b.clv", 1}};
    Messages.Answers = {TAnswer::No, TAnswer::No};
    EXPECT_TRUE(SaveProjectAsCommand(doc));
    ASSERT_EQ(Messages.Questions.size(), 2u);
    EXPECT_EQ(Messages.Questions[0], "The file [a.clv] already exists, do you want to replace it?");
    EXPECT_EQ(Messages.Questions[1], "The project folder [lone_CLV] has existed, do you want to overwrite?");
    ASSERT_EQ(Dialogs.Requests.size(), 3u);
    EXPECT_EQ(Dialogs.Requests[1].InitialDir, Dir);
    EXPECT_EQ(Dialogs.Requests[1].FileName, "a.clv");
    EXPECT_EQ(doc.ProjectFile, Dir + "/b.clv");
    EXPECT_EQ(doc.Caption(), doc.CaptionBase + " - " + Dir + "/b.clv");
    EXPECT_TRUE(FileExists(Dir + "/a.clv"));
    EXPECT_TRUE(fs::is_empty(Dir + "/lone_CLV"));
    // Yes replaces, asked once
    Dialogs.Results.push_back({Dir + "/lone.clv", 1});
    Messages.Answers.push_back(TAnswer::Yes);
    EXPECT_TRUE(SaveProjectAsCommand(doc));
    EXPECT_EQ(Messages.Questions.size(), 3u);
    EXPECT_TRUE(FileExists(Dir + "/lone_CLV/Info.cfg"));
    // a template's thumbnail beside it is a file the save replaces too
    WriteText(Dir + "/t.jpg", "the user's own picture");
    Dialogs.Results.push_back({Dir + "/t", 1});
    Dialogs.Results.push_back({"", 1});
    Messages.Answers.push_back(TAnswer::No);
    EXPECT_FALSE(SaveAsTemplateCommand(doc));
    EXPECT_EQ(Messages.Questions.back(), "The file [t.jpg] already exists, do you want to replace it?");
    EXPECT_EQ(ReadText(Dir + "/t.jpg"), "the user's own picture");
    EXPECT_FALSE(FileExists(Dir + "/t.clv"));
}

TEST_F(ProjectCommandsTest, OpenAsksAboutAModifiedCollageFirst) {
    const std::string other = SavedProject("other", 3);
    {
        // Cancel: nothing opens, no dialog
        TCollageDocument doc;
        Fill(doc);
        Messages.Answers = {TAnswer::Cancel};
        EXPECT_FALSE(OpenProjectCommand(doc));
        ASSERT_EQ(Messages.Questions.size(), 1u);
        EXPECT_EQ(Messages.Questions[0], kModified);
        EXPECT_TRUE(Dialogs.Requests.empty());
        EXPECT_EQ(doc.LayerCount(), 1);
    }
    {
        // No: straight to the open dialog
        TCollageDocument doc;
        Fill(doc);
        Messages.Answers.push_back(TAnswer::No);
        Dialogs.Results = {{other, 1}};
        EXPECT_TRUE(OpenProjectCommand(doc));
        ASSERT_EQ(Dialogs.Requests.size(), 1u);
        EXPECT_EQ(Dialogs.Requests[0].Filter, "Project File(*.clv)|*.clv");
        EXPECT_EQ(doc.LayerCount(), 3);
        EXPECT_EQ(doc.ProjectFile, other);
    }
}

// Reading and writing a project show the busy pointer, and every way out
// (success, a file that cannot be read) takes it away again.
TEST_F(ProjectCommandsTest, SavingAndOpeningAreBusyUntilTheyEnd) {
    const std::string clv = SavedProject("busy", 2);
    EXPECT_EQ(Messages.BusyStarts, 1);
    TCollageDocument doc;
    EXPECT_TRUE(LoadProject(doc, clv, false));
    EXPECT_EQ(Messages.BusyStarts, 2);
    EXPECT_EQ(Messages.BusyDepth, 0);
    EXPECT_FALSE(Messages.MessageWhileBusy);
    EXPECT_FALSE(LoadProject(doc, Dir + "/missing.clv", false));
    EXPECT_FALSE(Messages.Errors.empty());
    EXPECT_TRUE(Messages.MessageWhileBusy); // the Qt service shows its boxes with the ordinary pointer
    EXPECT_EQ(Messages.BusyDepth, 0);
    EXPECT_EQ(doc.LayerCount(), 2);
}

TEST_F(ProjectCommandsTest, YesSavesBeforeOpening) {
    const std::string other = SavedProject("other", 2);
    TCollageDocument doc;
    Fill(doc);
    // untitled: the save dialog, then the open dialog
    Messages.Answers = {TAnswer::Yes};
    Dialogs.Results = {{Dir + "/mine.clv", 1}, {other, 1}};
    EXPECT_TRUE(OpenProjectCommand(doc));
    EXPECT_TRUE(FileExists(Dir + "/mine.clv"));
    EXPECT_EQ(doc.ProjectFile, other);

    // bound: saved to its file without a dialog
    TCollageDocument bound;
    Fill(bound);
    ASSERT_TRUE(SaveProject(bound, Dir + "/bound.clv", false));
    AddLayer(bound, itClipart, Library.Root + "Cliparts/Animals/cat.png", {0, 0, 40, 30}, "Animals\\cat.png");
    bound.SetModified(true);
    Messages.Answers.push_back(TAnswer::Yes);
    Dialogs.Results.push_back({other, 1});
    EXPECT_TRUE(OpenProjectCommand(bound));
    EXPECT_EQ(Dialogs.Requests.size(), 3u);
    TCollageDocument check;
    ASSERT_TRUE(LoadProject(check, Dir + "/bound.clv", false));
    EXPECT_EQ(check.LayerCount(), 2);
}

TEST_F(ProjectCommandsTest, AnUnsavedCollageIsNeverDroppedAfterYes) {
    const std::string other = SavedProject("other", 2);
    TCollageDocument doc;
    Fill(doc);
    // the save dialog is cancelled: nothing opens
    Messages.Answers = {TAnswer::Yes};
    Dialogs.Results = {{"", 1}, {other, 1}};
    EXPECT_FALSE(OpenProjectCommand(doc));
    EXPECT_EQ(Dialogs.Requests.size(), 1u);
    EXPECT_EQ(doc.LayerCount(), 1);

    // the save fails: nothing opens either
    WriteText(Dir + "/afile", "x");
    doc.ProjectFile = Dir + "/afile/sub/p.clv";
    Messages.Answers.push_back(TAnswer::Yes);
    EXPECT_FALSE(OpenProjectCommand(doc));
    EXPECT_EQ(Messages.Errors.size(), 1u);
    EXPECT_EQ(doc.LayerCount(), 1);
    EXPECT_TRUE(doc.Modified);
}

TEST_F(ProjectCommandsTest, AnUnmodifiedCollageOpensWithoutAQuestion) {
    const std::string other = SavedProject("other", 2);
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    Dialogs.Results = {{"", 1}, {other, 1}};
    EXPECT_FALSE(OpenProjectCommand(doc)); // cancelled dialog
    EXPECT_TRUE(OpenProjectCommand(doc));
    EXPECT_TRUE(Messages.Questions.empty());
    EXPECT_EQ(doc.LayerCount(), 2);
    EXPECT_TRUE(OpenProjectFile(doc, other));
}
