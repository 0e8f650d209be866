// Delimited text: any text the other formats do not claim, so it is asked last.

#include "import/DataFormats.h"
#include "import/Delimited.h"

namespace zenka::dataimport {

namespace {

Format recognise(std::string_view) {
    return Format::Delimited;
}

DelimitedOptions delimitedOptions(const std::string& name, const ReadOptions& options) {
    DelimitedOptions d;
    d.depthUnit = options.delimitedDepthUnit;
    d.boreholeName = name.empty() ? std::string("B-1") : name;
    return d;
}

DataFile read(std::string_view bytes, const std::string& name, const ReadOptions& options) {
    return readDelimited(bytes, delimitedOptions(name, options));
}

DataFile readOwned(std::string&& bytes, const std::string& name, const ReadOptions& options) {
    return readDelimitedOwned(std::move(bytes), delimitedOptions(name, options));
}

} // namespace

const DataFormat& delimitedFormat() {
    static const DataFormat unit{.name = "delimited text",
                                 .filterName = "Delimited Text",
                                 .variants = {{Format::Delimited, "delimited text"}},
                                 .extensions = {"csv", "tsv", "txt"},
                                 .recognise = recognise,
                                 .read = read,
                                 .readOwned = readOwned};
    return unit;
}

} // namespace zenka::dataimport
