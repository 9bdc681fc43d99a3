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

// Runs the save dialog; "" when it was cancelled.
std::string AskProjectName() {
    const TFileDialogResult r = DialogService().SaveFile(SaveDialogProj());
    return r.FileName.empty() ? "" : WithProjectExtension(r.FileName);
}

std::string ChangeToJpg(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ".jpg";
    return path.substr(0, dot) + ".jpg";
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
    const std::string path = AskProjectName();
    return !path.empty() && SaveProject(doc, path, false);
}

bool ConfirmSaveModified(TCollageDocument& doc) {
    if (!doc.Modified) return true;
    const TAnswer a = Ask(Lang("The project has been modified") + "\r" + Lang("do you want to save it?"),
                          Lang("Save Project"), TButtons::YesNoCancel);
    if (a == TAnswer::No) return true;
    if (a != TAnswer::Yes) return false;
    if (!TrimSpaces(doc.ProjectFile).empty()) return SaveProject(doc, doc.ProjectFile, false);
    const std::string path = AskProjectName();
    return !path.empty() && SaveProject(doc, path, false);
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
    const std::string path = AskProjectName();
    if (path.empty()) return false;
    // the thumbnail shows the photos the project turns into placeholders
    const TBitmap32 thumbnail = TemplateThumbnail(doc);
    if (!SaveProject(doc, path, true)) return false;
    try {
        SaveThumbnailJPEG(ChangeToJpg(path), thumbnail);
    } catch (const EUserError& e) {
        ShowError(e.what());
        return false;
    }
    return true;
}
