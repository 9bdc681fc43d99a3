#pragma once
// The project commands of the main window, without widgets: file dialogs go
// through DialogService(), questions and errors through the message service.
// Each returns true when it saved or opened something.

#include <string>

#include "platform/Dialogs.h"

class TCollageDocument;

// The request of the project save dialog: default extension "clv", filter
// "Project File(*.clv)|*.clv".
TFileDialogRequest SaveDialogProj();
TFileDialogRequest OpenDialogProj();

// Save Project (Ctrl+S, the "Save Project" button): to ProjectFile when the
// document is bound to an existing file, otherwise as Save Project As.
bool SaveProjectCommand(TCollageDocument& doc);
// Save Project As...: asks for a file name and saves there.
bool SaveProjectAsCommand(TCollageDocument& doc);

// The question before a modified collage is replaced or closed: "The project
// has been modified" / "do you want to save it?" with Yes, No and Cancel.
// Yes saves (to ProjectFile, or to a name asked for). The result tells
// whether the caller may go on: false after Cancel, a cancelled file dialog
// or a save that did not happen (so the collage is never dropped unsaved
// after the user asked to keep it).
bool ConfirmSaveModified(TCollageDocument& doc);

// Open Project: the question above, then the open dialog and the load.
bool OpenProjectCommand(TCollageDocument& doc);
// Opens a project file given from outside (command line, dropped file).
bool OpenProjectFile(TCollageDocument& doc, const std::string& path);

// Save as Template: asks for a file name, saves the collage as a template
// there and writes its thumbnail (the same name with ".jpg").
bool SaveAsTemplateCommand(TCollageDocument& doc);
