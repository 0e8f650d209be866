// A data file's bytes as the import takes them: gzip unpacking, UTF-16 decoding and the choice
// of reader by content, then the log builder on what was read.

#include "ImportFuzz.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zenka::dataimport;
    const DataFile f = readDataBytes(std::string_view(reinterpret_cast<const char*>(data), size),
                                     Format::Unknown, "B-1");
    if (!f.error.empty() && !f.boreholes.empty()) fuzzFail("an error with boreholes");
    exerciseFile(f);
    return 0;
}
