#pragma once

// The kinds of ground-investigation data file the import reads, each a unit: its name, the
// extensions its files carry, how its content is told apart and its reader. The dispatch, the
// file dialog's filters, the batch program's help and the messages about a file of no known kind
// all come from this one list.
//
// Adding a format: its reader, a unit file like DiggsFormat.cpp, its line in DataFormats.cpp and
// a value of Format.

#include "import/BoreholeData.h"

#include <string>
#include <string_view>
#include <vector>

namespace zenka::dataimport {

struct ReadOptions {
    Format format = Format::Unknown; // Unknown: from the content; the name plays no part
    LengthUnit delimitedDepthUnit = LengthUnit::Unknown; // when a delimited header has none
};

struct DataFormat {
    // One of the formats the unit reads and its name in messages ("AGS4").
    struct Variant {
        Format format;
        const char* name;
    };

    const char* name;       // the family, in "is not a DIGGS, AGS or delimited text file"
    const char* filterName; // in the file dialog's list: "AGS3, AGS4"
    std::vector<Variant> variants;
    std::vector<std::string> extensions; // without the dot, lower case: {"csv", "tsv"}
    // The variant the text shows, or Unknown. `text` is the start of the file as UTF-8, without
    // a byte order mark and leading blanks. Asked in the order of the list, so a unit that
    // takes any text comes last.
    Format (*recognise)(std::string_view text);
    // The file's boreholes; `name` names a borehole the file itself does not name.
    DataFile (*read)(std::string_view bytes, const std::string& name, const ReadOptions& options);
    // The same for bytes the reader may free as soon as it has read them, so that they and the
    // boreholes made of them are not held at once; none when the reader needs them to the end.
    DataFile (*readOwned)(std::string&& bytes, const std::string& name,
                          const ReadOptions& options) = nullptr;
};

// A packing any of the formats may come in (gzip): unpacked first, then read as what it holds.
struct DataPacking {
    const char* name;
    std::vector<std::string> extensions;
    bool (*recognise)(std::string_view bytes);
    // False with `error` set (a sentence without its capital) when the data cannot be unpacked.
    bool (*unpack)(std::string_view bytes, std::string& out, std::string& error);
};

// In the order their content is tested.
const std::vector<const DataFormat*>& dataFormats();
const std::vector<const DataPacking*>& dataPackings();

// The unit that reads `format`; none for Unknown.
const DataFormat* formatUnit(Format format);
const char* formatName(Format format); // "AGS4"; "unknown" for Unknown

// The format the content shows, by the units' tests; Unknown when the bytes are no text at all,
// `found` then says what they look like.
Format recogniseFormat(std::string_view bytes, std::string& found);

// "DIGGS, AGS or delimited text".
std::string formatFamilies();
// The import's file dialog: every data file, each format, then all files.
std::vector<std::string> dataFileFilters();
// For help texts: "DIGGS .xml, AGS3/AGS4 .ags, ...; any of them gzip-packed .gz".
std::string formatListText();

// error is set when the file cannot be read or is no data file of a known kind: two lines, the
// cause with the file's full path, then the reason. Only regular files are read, up to 1 GB, a
// packed file unpacked up to 1 GB. A delimited file's borehole is named after the file.
DataFile readDataFile(const std::string& path, const ReadOptions& options = {});
// The same from bytes already in memory; `name` names a delimited file's borehole.
DataFile readDataBytes(std::string_view bytes, Format format, const std::string& name,
                       const ReadOptions& options = {});

} // namespace zenka::dataimport
