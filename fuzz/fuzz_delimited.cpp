// The delimited-text reader on any bytes (the first byte chooses the depth unit when the header
// gives none), and the log builder on what it read.

#include "ImportFuzz.h"
#include "import/Delimited.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zenka::dataimport;
    if (size == 0) return 0;
    DelimitedOptions o;
    o.depthUnit = data[0] % 3 == 0   ? LengthUnit::Unknown
                  : data[0] % 3 == 1 ? LengthUnit::Feet
                                     : LengthUnit::Metres;
    const DataFile f =
        readDelimited(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), o);
    exerciseFile(f);
    return 0;
}
