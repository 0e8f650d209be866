// Delimited text: any text the other formats do not claim, so it is asked last.

#include "import/DataFormats.h"
#include "import/Delimited.h"

namespace zenka::dataimport {

namespace {

Format recognise(std::string_view) {
    return Format::Delimited;
}

DataFile read(std::string_view bytes, const std::string& name, const ReadOptions& options) {
    DelimitedOptions d;
    d.depthUnit = options.delimitedDepthUnit;
    d.boreholeName = name.empty() ? std::string("B-1") : name;
    return readDelimited(bytes, d);
}

} // namespace

const DataFormat& delimitedFormat() {
    static const DataFormat unit{.name = "delimited text",
                                 .filterName = "Delimited Text",
                                 .variants = {{Format::Delimited, "delimited text"}},
                                 .extensions = {"csv", "tsv", "txt"},
                                 .recognise = recognise,
                                 .read = read};
    return unit;
}

} // namespace zenka::dataimport
