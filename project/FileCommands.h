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
// Discards unsaved changes without asking. False when the dialog was cancelled or the file could
// not be read (the project is then unchanged).
bool OpenProject(CPelbrinDoc& doc, Shell& shell);
// True when the file was written. A project without a file asks for one first.
bool SaveProject(CPelbrinDoc& doc, Shell& shell);
// purpose: the dialog's title when another command asks for the name, saying why.
bool SaveProjectAs(CPelbrinDoc& doc, Shell& shell, const std::string& purpose = {});
// True when closing may go on: nothing unsaved is lost by it.
bool AskToSaveChanges(CPelbrinDoc& doc, Shell& shell);

} // namespace zenka
