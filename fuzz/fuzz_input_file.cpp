// The project file reader on any bytes, and the writer on whatever it read. Besides surviving,
// the pair must settle: opening and saving a project again and again reaches a file that stays
// as it is. Each save may drop what the format cannot hold (a zero among the lengths drops the
// lengths behind it, a width that prints as 0 ends the widths), so it can take a few rounds,
// but the file never keeps changing; and what it saves from a project, Open takes back.

#include "engine/AnalysisState.h"
#include "model/PelbrinDoc.h"
#include "project/InputFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace {

using namespace zenka;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_input_file: %s\n", what);
    std::abort();
}

// Enough for every length to drop out one at a time, and then some.
constexpr int kRounds = 2 * kDocLengths;

std::string readThenWrite(CPelbrinDoc& doc, std::string_view bytes) {
    doc.ResetProject();
    readInputFile(bytes, doc);
    if (doc.widthCount < 0 || doc.widthCount > kDocWidths) fail("width count out of range");
    return writeInputFile(doc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto state = std::make_unique<AnalysisState>();
    static CPelbrinDoc doc;

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool project = projectFileProblem(bytes).empty();
    std::string written = readThenWrite(doc, bytes);
    // What the program saves from a file Open took, Open takes back.
    if (project && !projectFileProblem(written).empty()) {
        std::fprintf(stderr, "%s\n", projectFileProblem(written).c_str());
        fail("a saved project is refused as not a project");
    }
    // A station that begins with the water table tag reads back as the whole line, tag and all,
    // so it grows with every save; the format cannot hold such a station.
    if (doc.station.starts_with("watertable=")) return 0;
    for (int round = 0;; ++round) {
        std::string again = readThenWrite(doc, written);
        if (again == written) break;
        if (round == kRounds) fail("saving and opening a project again and again never settles");
        written = std::move(again);
    }
    return 0;
}
