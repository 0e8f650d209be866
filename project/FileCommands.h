#pragma once

// New, Open, Save, Save As and the question before closing. They talk to the user only
// through the Shell.

namespace zenka {

class CPelbrinDoc;
class Shell;

// False when the user cancelled (the project is then unchanged).
bool NewProject(CPelbrinDoc& doc, Shell& shell);
// False when the dialog was cancelled or the file could not be read (the project is then
// unchanged).
bool OpenProject(CPelbrinDoc& doc, Shell& shell);
// True when the file was written.
bool SaveProject(CPelbrinDoc& doc, Shell& shell);
bool SaveProjectAs(CPelbrinDoc& doc, Shell& shell);
// True when closing may go on: nothing unsaved is lost by it.
bool AskToSaveChanges(CPelbrinDoc& doc, Shell& shell);

} // namespace zenka
