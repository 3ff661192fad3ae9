#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace arrivals {

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view text);

// The most bytes of script text a message quotes.
inline constexpr std::size_t kExcerptBytes = 60;

// Script text as a message shows it, always one printable line: at most
// kExcerptBytes bytes of `text` (fewer when that limit falls inside a UTF-8
// character, which is never split), followed by "..." when anything was left
// out. Control bytes (below 0x20 and 0x7f), C1 control characters (U+0080 to
// U+009F, their two bytes) and bytes that are not part of well-formed UTF-8
// are written as \xHH with lower-case hex digits; a backslash is written as
// \\ so that an escape always means one. Each escaped byte counts as one of
// the bytes shown.
std::string Excerpt(std::string_view text);

// The whole of `text`, escaped as Excerpt escapes it, never cut.
std::string Escaped(std::string_view text);

// Excerpt(text) in single quotes, as messages quote a word.
std::string QuotedExcerpt(std::string_view text);

// An unsigned decimal of digits only that fits 64 bits (a seed, a count or
// an index), or nothing.
std::optional<std::uint64_t> ParseUnsigned(std::string_view word);

} // namespace arrivals
