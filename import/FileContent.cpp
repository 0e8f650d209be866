#include "import/FileContent.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace zenka::dataimport {

bool isGzip(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
           static_cast<unsigned char>(bytes[1]) == 0x8B;
}

bool gunzip(std::string_view packed, std::size_t cap, std::string& out, std::string& error,
            bool& tooLarge) {
    out.clear();
    tooLarge = false;
    z_stream zs{};
    // 15 + 16: gzip only, with the largest window.
    if (inflateInit2(&zs, 15 + 16) != Z_OK) {
        error = "the decompressor could not be started";
        return false;
    }
    const auto* next = reinterpret_cast<const Bytef*>(packed.data());
    std::size_t left = packed.size();
    char buffer[1 << 16];
    int rc = Z_OK;
    bool ok = true;
    while (true) {
        // zlib counts in 32 bits: feed at most 1 GB at a time.
        const auto chunk = static_cast<uInt>(std::min<std::size_t>(left, std::size_t{1} << 30));
        zs.next_in = const_cast<Bytef*>(next);
        zs.avail_in = chunk;
        zs.next_out = reinterpret_cast<Bytef*>(buffer);
        zs.avail_out = sizeof buffer;
        rc = inflate(&zs, Z_NO_FLUSH);
        const std::size_t used = chunk - zs.avail_in;
        next += used;
        left -= used;
        const std::size_t produced = sizeof buffer - zs.avail_out;
        if (out.size() + produced > cap) {
            tooLarge = true;
            error = "it unpacks to more than the cap";
            ok = false;
            break;
        }
        out.append(buffer, produced);
        if (rc == Z_STREAM_END) {
            // Another member may follow; anything else after the end is ignored, as gzip does.
            if (isGzip(std::string_view(reinterpret_cast<const char*>(next), left))) {
                inflateReset(&zs);
                continue;
            }
            break;
        }
        if (rc == Z_OK) continue;
        if (rc == Z_BUF_ERROR && left == 0 && produced == 0) {
            error = "the compressed data ends early: the file is cut short";
        } else {
            error = std::string("the compressed data is damaged") +
                    (zs.msg ? std::string(" (") + zs.msg + ")" : std::string());
        }
        ok = false;
        break;
    }
    inflateEnd(&zs);
    if (!ok) out.clear();
    return ok;
}

int utf16Kind(std::string_view bytes) {
    if (bytes.size() >= 2) {
        const auto a = static_cast<unsigned char>(bytes[0]);
        const auto b = static_cast<unsigned char>(bytes[1]);
        if (a == 0xFF && b == 0xFE) return 1;
        if (a == 0xFE && b == 0xFF) return 2;
    }
    // Without a mark: ASCII text, every other byte zero ("<\0?\0x\0" or "\0<\0?").
    const std::size_t n = std::min<std::size_t>(bytes.size() & ~std::size_t{1}, 64);
    if (n < 4) return 0;
    bool le = true, be = true;
    for (std::size_t i = 0; i < n; i += 2) {
        const char x = bytes[i], y = bytes[i + 1];
        le = le && x != 0 && y == 0;
        be = be && x == 0 && y != 0;
    }
    return le ? 1 : be ? 2 : 0;
}

std::string utf16ToUtf8(std::string_view bytes, int kind) {
    std::size_t i = 0;
    if (bytes.size() >= 2 && ((kind == 1 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                               static_cast<unsigned char>(bytes[1]) == 0xFE) ||
                              (kind == 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
                               static_cast<unsigned char>(bytes[1]) == 0xFF)))
        i = 2;
    auto unit = [&](std::size_t at) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[at]);
        const auto b = static_cast<unsigned char>(bytes[at + 1]);
        return kind == 1 ? static_cast<char32_t>(a | (b << 8))
                         : static_cast<char32_t>((a << 8) | b);
    };
    std::string out;
    out.reserve(bytes.size() / 2 + 16);
    while (i + 1 < bytes.size()) {
        char32_t cp = unit(i);
        i += 2;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            const char32_t low = i + 1 < bytes.size() ? unit(i) : 0;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                cp = 0xFFFD;
            }
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

namespace {

// What bytes that are no text look like, by their first bytes.
std::string binaryKind(std::string_view head) {
    struct Magic {
        std::string_view bytes;
        const char* what;
    };
    static constexpr Magic kMagics[] = {
        {"%PDF", "a PDF document"},
        {"PK\x03\x04", "a ZIP archive (an .xlsx workbook is one)"},
        {"\xD0\xCF\x11\xE0", "an older Office document (.xls, .doc)"},
        {"\xFD"
         "7zXZ",
         "an xz archive"},
        {"BZh", "a bzip2 archive"},
        {"7z\xBC\xAF", "a 7-Zip archive"},
        {"\x89PNG", "a PNG picture"},
        {"\xFF\xD8\xFF", "a JPEG picture"},
        {"\x7F"
         "ELF",
         "a program"},
        {"SQLite format 3", "an SQLite database"},
    };
    for (const Magic& m : kMagics)
        if (head.substr(0, m.bytes.size()) == m.bytes) return m.what;
    return {};
}

} // namespace

std::string binaryContent(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    const std::string_view head = bytes.substr(0, 4096);
    if (std::string kind = binaryKind(head); !kind.empty()) return kind;
    for (std::size_t i = 0; i < head.size(); ++i)
        if (head[i] == '\0') return "binary data (a zero byte at offset " + std::to_string(i) + ")";
    return {};
}

const char* releaseReadPages(const char* begin, const char* end) {
#ifdef __linux__
    static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto from = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) / page * page;
    const auto to = reinterpret_cast<std::uintptr_t>(end) / page * page;
    if (to <= from) return begin;
    // Advice only: when it is not taken, the pages stay as they were.
    ::madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
    return begin + (to - reinterpret_cast<std::uintptr_t>(begin));
#else
    (void)end;
    return begin;
#endif
}

} // namespace zenka::dataimport
