#pragma once

// The ".in" project file: a fixed sequence of text lines (see the writer for the layout).

#include "base/Shell.h"

#include <string>
#include <string_view>
#include <vector>

namespace zenka {

class CPelbrinDoc;

// The bytes of the project's file. Like saving, it normalises the project first: units -1
// becomes 2, pipeEnd other than 1 becomes 2, and lengthCount is set from the lengths written.
std::string writeInputFile(CPelbrinDoc& doc);

// Reads a project file's bytes into the project's fields. The project is expected to be reset
// before; no value is checked here (the analysis hand-off does that). Returns the lines read as
// numbers that held something else, for the person to check.
std::vector<ReadWarning> readInputFile(std::string_view bytes, CPelbrinDoc& doc);

// Empty when the bytes can be a project file; otherwise why they cannot, for a message such as
// "FILE is not a Zenka project: <why>." A project is text (no NUL or other control bytes but
// tab, CR and LF), its line 1 a unit code (-1, 1 or 2 with blanks around it), and lines 8 to 11
// each starting with a number. For this check CR alone also ends a line, so a file from an old
// Mac system passes. Lines behind line 11 are left to the reader, which warns of text where
// numbers belong. The size decides nothing: a project may carry long texts or lines behind its
// closing entry.
std::string projectFileProblem(std::string_view bytes);

// The report's file name for an input file name without folder: the last extension replaced
// by ".out" (or ".out" appended), never the input file's own name.
std::string reportNameFor(const std::string& inputFileName);

} // namespace zenka
