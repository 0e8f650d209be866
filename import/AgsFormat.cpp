// AGS3 and AGS4: quoted rows, told apart by the first row.

#include "import/Ags4.h"
#include "import/DataFormats.h"

namespace zenka::dataimport {

namespace {

Format recognise(std::string_view text) {
    // The first row decides between the two syntaxes: a "GROUP" row may stand as data inside an
    // AGS3 dictionary group.
    const std::string_view first = text.substr(0, text.find_first_of("\r\n"));
    if (first.substr(0, 3) == "\"**") return Format::Ags3;
    if (first.substr(0, 7) == "\"GROUP\"") return Format::Ags4;
    if (text.find("\"GROUP\"") != std::string_view::npos) return Format::Ags4;
    return Format::Unknown;
}

DataFile read(std::string_view bytes, const std::string&, const ReadOptions&) {
    return readAgs(bytes);
}

DataFile readOwned(std::string&& bytes, const std::string&, const ReadOptions&) {
    return readAgsOwned(std::move(bytes));
}

} // namespace

const DataFormat& agsFormat() {
    static const DataFormat unit{.name = "AGS",
                                 .filterName = "AGS3, AGS4",
                                 .variants = {{Format::Ags3, "AGS3"}, {Format::Ags4, "AGS4"}},
                                 .extensions = {"ags"},
                                 .recognise = recognise,
                                 .read = read,
                                 .readOwned = readOwned};
    return unit;
}

} // namespace zenka::dataimport
