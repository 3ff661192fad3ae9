#include "script/script_text.h"

#include <cstdint>

#include "model/numbers.h"

namespace arrivals {

namespace {

// The length of the well-formed UTF-8 character at the start of `text`, or
// 0 when its first byte begins none.
std::size_t CharLength(std::string_view text) {
  const auto c = static_cast<unsigned char>(text[0]);
  std::size_t more = 0;
  std::uint32_t cp = 0;
  std::uint32_t min = 0;
  if (c < 0x80)
    return 1;
  if ((c & 0xE0) == 0xC0)
    more = 1, cp = c & 0x1Fu, min = 0x80;
  else if ((c & 0xF0) == 0xE0)
    more = 2, cp = c & 0x0Fu, min = 0x800;
  else if ((c & 0xF8) == 0xF0)
    more = 3, cp = c & 0x07u, min = 0x10000;
  else
    return 0;
  if (text.size() <= more)
    return 0;
  for (std::size_t k = 1; k <= more; ++k) {
    const auto cc = static_cast<unsigned char>(text[k]);
    if ((cc & 0xC0) != 0x80)
      return 0;
    cp = (cp << 6) | (cc & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return more + 1;
}

void AppendEscaped(std::string &out, unsigned char c) {
  constexpr char kHex[] = "0123456789abcdef";
  out += "\\x";
  out += kHex[c >> 4];
  out += kHex[c & 0xF];
}

// `text` escaped as Excerpt says, up to `limit` bytes of it.
std::string EscapedUpTo(std::string_view text, std::size_t limit) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t valid = CharLength(text.substr(i));
    const std::size_t n = valid == 0 ? 1 : valid;
    if (i + n > limit)
      break;
    const auto c = static_cast<unsigned char>(text[i]);
    const bool c1 = valid == 2 && c == 0xC2 &&
                    static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if (valid == 0 || c < 0x20 || c == 0x7F || c1) {
      for (std::size_t k = 0; k < n; ++k)
        AppendEscaped(out, static_cast<unsigned char>(text[i + k]));
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out.append(text.substr(i, n));
    }
    i += n;
  }
  if (i < text.size())
    out += "...";
  return out;
}

} // namespace

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = CharLength(text.substr(i));
    if (n == 0)
      return false;
    i += n;
  }
  return true;
}

std::string Excerpt(std::string_view text) {
  return EscapedUpTo(text, kExcerptBytes);
}

std::string Escaped(std::string_view text) {
  return EscapedUpTo(text, text.size());
}

std::string QuotedExcerpt(std::string_view text) {
  return "'" + Excerpt(text) + "'";
}

std::optional<std::uint64_t> ParseUnsigned(std::string_view word) {
  if (word.empty())
    return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : word) {
    if (!IsDigit(c))
      return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10)
      return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

} // namespace arrivals
