// The Ags4 reader on any bytes, and the log builder on what it read.

#include "ImportFuzz.h"
#include "import/Ags4.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zenka::dataimport;
    const DataFile f = readAgs(std::string_view(reinterpret_cast<const char*>(data), size));
    exerciseFile(f);
    return 0;
}
