#include "script/last_run.h"

#include <charconv>

#include "script/script_player.h"
#include "script/script_text.h"

namespace arrivals {

namespace {

// The next comma-separated field of `row` as an unsigned number.
template <typename T> bool NextField(std::string_view &row, T &value) {
  const std::size_t comma = row.find(',');
  const std::string_view field = row.substr(0, comma);
  const auto [end, error] =
      std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size())
    return false;
  row.remove_prefix(comma == std::string_view::npos ? row.size() : comma + 1);
  return true;
}

} // namespace

bool AddSecondsRow(std::string_view row, RunSeconds &seconds) {
  if (row.rfind("time_ms,", 0) == 0)
    return true;
  std::uint64_t timeMs = 0;
  Integer second = 0;
  Integer count = 0;
  if (!NextField(row, timeMs) || !NextField(row, second) ||
      !NextField(row, count))
    return false;
  seconds.Add(timeMs, count);
  return true;
}

LastRunReplay::LastRunReplay(std::string script)
    : replay_(std::move(script), {}, [this](std::string_view bytes) {
        // The trace hands over whole rows, each with its line end.
        while (!bytes.empty()) {
          const std::size_t end = bytes.find('\n');
          if (!AddSecondsRow(bytes.substr(0, end), seconds_))
            badRow_ = true;
          bytes.remove_prefix(end == std::string_view::npos ? bytes.size()
                                                            : end + 1);
        }
      }) {
  replay_.OnRunBegins([this] { seconds_.Clear(); });
}

int LastRunReplay::status() const {
  // A row this reader cannot read would be a fault of the trace itself.
  return badRow_ && replay_.status() == kScriptOk ? kScriptMalformed
                                                  : replay_.status();
}

} // namespace arrivals
