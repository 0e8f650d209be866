#pragma once

// New, Open, Save, Save As and the question before closing. They talk to the user only
// through the Shell.

#include <string>

namespace zenka {

class CPelbrinDoc;
class Shell;

// Asks first when there are unsaved changes. False when the user cancelled, or answered Yes and
// the project was not saved (the project is then unchanged).
bool NewProject(CPelbrinDoc& doc, Shell& shell);
// Asks first when there are unsaved changes. False when the dialog was cancelled or the file
// could not be read or is no project (the project is then unchanged).
bool OpenProject(CPelbrinDoc& doc, Shell& shell);
// The same for a file named on the command line, dropped on the window or picked from the
// recent projects.
bool OpenProjectFile(CPelbrinDoc& doc, Shell& shell, const std::string& path);
// True when the file was written. A project without a file asks for one first.
bool SaveProject(CPelbrinDoc& doc, Shell& shell);
// purpose: the dialog's title when another command asks for the name, saying why.
bool SaveProjectAs(CPelbrinDoc& doc, Shell& shell, const std::string& purpose = {});
// True when closing may go on: nothing unsaved is lost by it.
bool AskToSaveChanges(CPelbrinDoc& doc, Shell& shell);

} // namespace zenka
