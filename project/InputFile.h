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

// The report's file name for an input file name without folder: the last extension replaced
// by ".out" (or ".out" appended), never the input file's own name.
std::string reportNameFor(const std::string& inputFileName);

} // namespace zenka
