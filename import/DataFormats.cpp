#include "import/DataFormats.h"

#include "import/FileContent.h"

#include "base/AtomicFile.h"

#include <algorithm>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace zenka::dataimport {

// The units, each in its own file.
const DataFormat& diggsFormat();
const DataFormat& agsFormat();
const DataFormat& delimitedFormat();
const DataPacking& gzipPacking();

const std::vector<const DataFormat*>& dataFormats() {
    static const std::vector<const DataFormat*> formats = {&diggsFormat(), &agsFormat(),
                                                           &delimitedFormat()};
    return formats;
}

const std::vector<const DataPacking*>& dataPackings() {
    static const std::vector<const DataPacking*> packings = {&gzipPacking()};
    return packings;
}

const DataFormat* formatUnit(Format format) {
    for (const DataFormat* unit : dataFormats())
        for (const DataFormat::Variant& v : unit->variants)
            if (v.format == format) return unit;
    return nullptr;
}

const char* formatName(Format format) {
    if (const DataFormat* unit = formatUnit(format))
        for (const DataFormat::Variant& v : unit->variants)
            if (v.format == format) return v.name;
    return "unknown";
}

Format recogniseFormat(std::string_view bytes, std::string& found) {
    found = binaryContent(bytes);
    if (!found.empty()) return Format::Unknown;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    const std::string_view text = trim(bytes.substr(0, 4096));
    for (const DataFormat* unit : dataFormats())
        if (const Format f = unit->recognise(text); f != Format::Unknown) return f;
    return Format::Unknown;
}

std::string formatFamilies() {
    const auto& units = dataFormats();
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (i) out += i + 1 == units.size() ? " or " : ", ";
        out += units[i]->name;
    }
    return out;
}

namespace {

std::string patterns(const std::vector<std::string>& extensions) {
    std::string out;
    for (const std::string& e : extensions) out += (out.empty() ? "*." : " *.") + e;
    return out;
}

} // namespace

std::vector<std::string> dataFileFilters() {
    std::vector<std::string> every;
    for (const DataFormat* unit : dataFormats())
        every.insert(every.end(), unit->extensions.begin(), unit->extensions.end());
    for (const DataPacking* packing : dataPackings())
        every.insert(every.end(), packing->extensions.begin(), packing->extensions.end());
    std::vector<std::string> filters = {"Boring Data Files (" + patterns(every) + ")"};
    for (const DataFormat* unit : dataFormats())
        filters.push_back(std::string(unit->filterName) + " (" + patterns(unit->extensions) + ")");
    filters.push_back("All Files (*.*)");
    return filters;
}

std::string formatListText() {
    std::string out;
    for (const DataFormat* unit : dataFormats()) {
        if (!out.empty()) out += ", ";
        for (std::size_t i = 0; i < unit->variants.size(); ++i)
            out += (i ? "/" : "") + std::string(unit->variants[i].name);
        for (const std::string& e : unit->extensions) out += " ." + e;
    }
    for (const DataPacking* packing : dataPackings()) {
        out += std::string("; any of them packed with ") + packing->name;
        for (const std::string& e : packing->extensions) out += " ." + e;
    }
    return out;
}

namespace {

std::string extensionOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return lower(path.substr(dot + 1));
}

std::string stemOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

bool isPackingExtension(const std::string& extension) {
    for (const DataPacking* packing : dataPackings()) {
        const auto& e = packing->extensions;
        if (std::find(e.begin(), e.end(), extension) != e.end()) return true;
    }
    return false;
}

std::string upperFirst(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

DataFile notData(std::string found) {
    DataFile f;
    f.error = std::move(found);
    f.notDataFile = true;
    return f;
}

// `owned`, when given, holds the bytes, and is freed as soon as they are no longer needed: once
// unpacked or converted, or by a reader that can let them go before it has done.
DataFile readText(std::string_view bytes, std::string* owned, Format format,
                  const std::string& name, const ReadOptions& options, int depth) {
    auto letGo = [&] {
        if (owned) std::string().swap(*owned);
    };
    for (const DataPacking* packing : dataPackings()) {
        if (!packing->recognise(bytes)) continue;
        // A .gz of a .gz is still read; deeper nesting is no data file anyone writes.
        if (depth >= 2)
            return notData(std::string(packing->name) + " data packed inside " + packing->name +
                           " data, more than twice");
        std::string unpacked;
        DataFile failed;
        if (!packing->unpack(bytes, unpacked, failed.error)) return failed;
        letGo();
        return readText(unpacked, &unpacked, format, name, options, depth + 1);
    }
    if (const int kind = utf16Kind(bytes)) {
        std::string text = utf16ToUtf8(bytes, kind);
        letGo();
        return readText(text, &text, format, name, options, depth);
    }
    std::string found;
    const Format seen = recogniseFormat(bytes, found);
    if (format == Format::Unknown) format = seen;
    const DataFormat* unit = formatUnit(format);
    if (!unit) return notData(found);
    if (owned && unit->readOwned) return unit->readOwned(std::move(*owned), name, options);
    return unit->read(bytes, name, options);
}

} // namespace

DataFile readDataBytes(std::string_view bytes, Format format, const std::string& name,
                       const ReadOptions& options) {
    return readText(bytes, nullptr, format, name, options, 0);
}

DataFile readDataFile(const std::string& path, const ReadOptions& options) {
    std::string bytes;
    ReadLimits limits;
    limits.maxBytes = kMaxDataFileBytes;
    limits.regularOnly = true;
    limits.what = "a data file";
    if (const FileResult r = readWholeFile(path, bytes, limits); !r.ok) {
        DataFile f;
        f.error = r.message;
        return f;
    }
    std::string stem = stemOf(path);
    if (isPackingExtension(extensionOf(path))) stem = stemOf(stem);
    DataFile f = readText(bytes, &bytes, options.format, stem, options, 0);
#ifdef __GLIBC__
    // A reader frees many small records of its own as it goes: give their pages back now, not
    // while the caller builds its own data beside the boreholes.
    malloc_trim(0);
#endif
    if (f.notDataFile)
        f.error =
            displayPath(path) + " is not a " + formatFamilies() + " file.\nFound: " + f.error + ".";
    else if (!f.error.empty())
        f.error =
            displayPath(path) + " could not be read" +
            (f.format == Format::Unknown ? std::string()
                                         : std::string(" as ") + formatName(f.format) + " data") +
            ".\n" + upperFirst(f.error) + ".";
    return f;
}

} // namespace zenka::dataimport
