#pragma once

// What a data file's bytes are, whatever its name says: gzip-compressed, UTF-16 text, or no text
// at all (a workbook, a PDF, binary data).

#include "import/BoreholeData.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace zenka::dataimport {

// No data file is read, or unpacked, beyond this.
inline constexpr std::size_t kMaxDataFileBytes = std::size_t{1} << 30;

bool isGzip(std::string_view bytes);

// The bytes a gzip file (one or more members) unpacks to, at most `cap`. False with `error` set
// when the data is damaged or cut short, or unpacks to more than `cap` (then `tooLarge`).
bool gunzip(std::string_view packed, std::size_t cap, std::string& out, std::string& error,
            bool& tooLarge);

// UTF-16 text, told by its byte order mark or, without one, by the zero bytes of ASCII text.
// 0: not UTF-16; 1: little-endian; 2: big-endian.
int utf16Kind(std::string_view bytes);
// The text as UTF-8, without the byte order mark; unpaired surrogates read as U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, int kind);

// What the bytes look like when they are no text at all ("a PDF document", "binary data (a zero
// byte at offset 9)"); empty for text. Which format a text is, its units tell (DataFormats.h).
std::string binaryContent(std::string_view bytes);

// Gives back to the system the memory pages wholly inside [begin, end) of a buffer the caller
// owns, has read that far and frees without reading that part again (it reads as zeros
// afterwards, where the system honours the request). Returns where the pages given back end:
// the next call starts there, so that no page is asked for twice.
const char* releaseReadPages(const char* begin, const char* end);

} // namespace zenka::dataimport
