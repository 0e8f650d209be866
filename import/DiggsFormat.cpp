// DIGGS: XML, told by its first character.

#include "import/DataFormats.h"
#include "import/Diggs.h"

namespace zenka::dataimport {

namespace {

Format recognise(std::string_view text) {
    return !text.empty() && text.front() == '<' ? Format::Diggs : Format::Unknown;
}

DataFile read(std::string_view bytes, const std::string&, const ReadOptions&) {
    return readDiggs(bytes);
}

} // namespace

const DataFormat& diggsFormat() {
    static const DataFormat unit{.name = "DIGGS",
                                 .filterName = "DIGGS",
                                 .variants = {{Format::Diggs, "DIGGS"}},
                                 .extensions = {"xml"},
                                 .recognise = recognise,
                                 .read = read};
    return unit;
}

} // namespace zenka::dataimport
