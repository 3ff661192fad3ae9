#include "web/script_lines.h"

namespace arrivals {

void ScriptLines::Reset(std::string_view script) {
  script_.assign(script);
  pos_ = script_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
}

std::optional<ScriptLines::Line> ScriptLines::Next() {
  if (pos_ >= script_.size())
    return std::nullopt;
  const std::size_t lf = script_.find('\n', pos_);
  const std::size_t end = lf == std::string::npos ? script_.size() : lf;
  std::string_view text(script_.data() + pos_, end - pos_);
  pos_ = lf == std::string::npos ? script_.size() : lf + 1;
  // Only a CR before an LF ends a line; a last line without an LF keeps it.
  if (lf != std::string::npos && !text.empty() && text.back() == '\r')
    text.remove_suffix(1);
  return Line{text, text.size() > kMaxLine};
}

double ScriptLines::Progress() const {
  return script_.empty()
             ? 1.0
             : static_cast<double>(pos_) / static_cast<double>(script_.size());
}

} // namespace arrivals
