// The AGS reader on any bytes after an AGS3 group row, so that every input is read in the AGS3
// syntax ("*HEADING", "<UNITS>", "<CONT>" rows), and the log builder on what it read.

#include "ImportFuzz.h"
#include "import/Ags4.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zenka::dataimport;
    std::string bytes = "\"**PROJ\"\n";
    bytes.append(reinterpret_cast<const char*>(data), size);
    const DataFile f = readAgs(bytes);
    if (f.format != Format::Ags3) fuzzFail("a file that starts with **PROJ is AGS3");
    exerciseFile(f);
    return 0;
}
