#include "persistence/ProjectCommands.h"

#include "document/CollageDocument.h"
#include "engine/Errors.h"
#include "language/Language.h"
#include "persistence/ProjectFile.h"
#include "persistence/ProjectValues.h"
#include "persistence/Templates.h"
#include "platform/Messages.h"
#include "platform/Paths.h"

namespace {

// The chosen name with the default extension when it has none.
std::string WithProjectExtension(std::string path) {
    const std::string name = ExtractFileName(path);
    if (name.find('.') == std::string::npos) path += ".clv";
    return path;
}

std::string ChangeToJpg(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ".jpg";
    return path.substr(0, dot) + ".jpg";
}

bool ConfirmFileReplace(const std::string& path) {
    return ConfirmReplace(ExtractFileName(path),
                          Lang("The file [%s] already exists, do you want to replace it?"),
                          Lang("Information"));
}

// Runs the save dialog; "" when it was cancelled. Before the dialog closes,
// the user is asked about what a save to the chosen name would replace: the
// project file (and with it its folder), a project folder left without its
// file, a template's thumbnail. No offers the dialog again.
std::string AskProjectName(bool asTemplate) {
    const TFileDialogResult r = RunSaveDialog(SaveDialogProj(), [&](const std::string& chosen) {
        const std::string path = WithProjectExtension(chosen);
        if (FileExists(path)) {
            if (!ConfirmFileReplace(path)) return false;
        } else if (DirectoryExists(ProjectFolderFor(path)) && !ConfirmProjectFolderReplace(path)) {
            return false;
        }
        const std::string thumbnail = ChangeToJpg(path);
        return !asTemplate || !FileExists(thumbnail) || ConfirmFileReplace(thumbnail);
    });
    return r.FileName.empty() ? "" : WithProjectExtension(r.FileName);
}

} // namespace

TFileDialogRequest SaveDialogProj() {
    TFileDialogRequest r;
    r.Filter = "Project File(*.clv)|*.clv";
    r.DefaultExt = "clv";
    return r;
}

TFileDialogRequest OpenDialogProj() {
    TFileDialogRequest r;
    r.Filter = "Project File(*.clv)|*.clv";
    return r;
}

bool SaveProjectCommand(TCollageDocument& doc) {
    if (!doc.ProjectFile.empty() && FileExists(doc.ProjectFile))
        return SaveProject(doc, doc.ProjectFile, false);
    return SaveProjectAsCommand(doc);
}

bool SaveProjectAsCommand(TCollageDocument& doc) {
    const std::string path = AskProjectName(false);
    return !path.empty() && SaveProject(doc, path, false, TFolderQuestion::Answered);
}

bool ConfirmSaveModified(TCollageDocument& doc) {
    if (!doc.Modified) return true;
    const TAnswer a = Ask(Lang("The project has been modified") + "\r" + Lang("do you want to save it?"),
                          Lang("Save Project"), TButtons::YesNoCancel);
    if (a == TAnswer::No) return true;
    if (a != TAnswer::Yes) return false;
    if (!TrimSpaces(doc.ProjectFile).empty()) return SaveProject(doc, doc.ProjectFile, false);
    const std::string path = AskProjectName(false);
    return !path.empty() && SaveProject(doc, path, false, TFolderQuestion::Answered);
}

bool OpenProjectCommand(TCollageDocument& doc) {
    if (!ConfirmSaveModified(doc)) return false;
    const TFileDialogResult r = DialogService().OpenFile(OpenDialogProj());
    return !r.FileName.empty() && LoadProject(doc, r.FileName, false);
}

bool OpenProjectFile(TCollageDocument& doc, const std::string& path) {
    return LoadProject(doc, path, false);
}

bool SaveAsTemplateCommand(TCollageDocument& doc) {
    const std::string path = AskProjectName(true);
    if (path.empty()) return false;
    // the thumbnail shows the photos the project turns into placeholders
    const TBitmap32 thumbnail = TemplateThumbnail(doc);
    if (!SaveProject(doc, path, true, TFolderQuestion::Answered)) return false;
    try {
        SaveThumbnailJPEG(ChangeToJpg(path), thumbnail);
    } catch (const EUserError& e) {
        ShowError(ErrorMessage(e));
        return false;
    }
    return true;
}
