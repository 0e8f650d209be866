// gzip: any data file packed, told by its magic bytes.

#include "import/DataFormats.h"
#include "import/FileContent.h"

#include "base/AtomicFile.h"

namespace zenka::dataimport {

namespace {

bool unpack(std::string_view bytes, std::string& out, std::string& error) {
    bool tooLarge = false;
    if (gunzip(bytes, kMaxDataFileBytes, out, error, tooLarge)) return true;
    if (tooLarge)
        error = "it unpacks to more than " + sizeText(kMaxDataFileBytes) +
                ", more than a data file can be";
    return false;
}

} // namespace

const DataPacking& gzipPacking() {
    static const DataPacking unit{
        .name = "gzip", .extensions = {"gz"}, .recognise = isGzip, .unpack = unpack};
    return unit;
}

} // namespace zenka::dataimport
