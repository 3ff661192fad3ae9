#include "script/script_trace.h"

#include <charconv>

namespace arrivals {

namespace {

template <typename T> void AppendNumber(std::string &row, T value) {
  char buf[24];
  const auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
  row.append(buf, end);
}

// A field that is empty when there is no value.
void AppendField(std::string &row, const std::optional<Integer> &value) {
  row += ',';
  if (value)
    AppendNumber(row, *value);
}

} // namespace

CsvTrace::CsvTrace(ByteSink *packets, ByteSink *seconds,
                   const std::uint64_t &timeMs)
    : packets_(packets), seconds_(seconds), timeMs_(timeMs) {
  if (packets_)
    packets_->Write("time_ms,run_ms,packet,gap_ms\n");
  if (seconds_)
    seconds_->Write("time_ms,second,count_1s,count_3s,count_10s\n");
}

void CsvTrace::PacketLaunched(Long runMs, Long packet, Long gapMs) {
  if (!packets_)
    return;
  row_.clear();
  AppendNumber(row_, timeMs_);
  row_ += ',';
  AppendNumber(row_, runMs);
  row_ += ',';
  AppendNumber(row_, packet);
  row_ += ',';
  AppendNumber(row_, gapMs);
  row_ += '\n';
  packets_->Write(row_);
}

void CsvTrace::SecondClosed(const ClosedSecond &closed) {
  if (!seconds_)
    return;
  row_.clear();
  AppendNumber(row_, timeMs_);
  row_ += ',';
  AppendNumber(row_, closed.second);
  row_ += ',';
  AppendNumber(row_, closed.count1s);
  AppendField(row_, closed.count3s);
  AppendField(row_, closed.count10s);
  row_ += '\n';
  seconds_->Write(row_);
}

} // namespace arrivals
