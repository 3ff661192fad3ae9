#pragma once

#include <cstdint>
#include <string>

#include "model/run_trace.h"
#include "script/byte_io.h"

namespace arrivals {

// The CSV traces of a run: one row per launched packet on `packets`, one
// per closed second on `seconds` (either may be null), each file opening
// with its header line. `timeMs` is the program time of the timer event
// being delivered, kept by whoever delivers the events.
class CsvTrace final : public RunTrace {
public:
  CsvTrace(ByteSink *packets, ByteSink *seconds, const std::uint64_t &timeMs);

  CsvTrace(const CsvTrace &) = delete;
  CsvTrace &operator=(const CsvTrace &) = delete;

  void PacketLaunched(Long runMs, Long packet, Long gapMs) override;
  void SecondClosed(const ClosedSecond &closed) override;

private:
  ByteSink *packets_;
  ByteSink *seconds_;
  const std::uint64_t &timeMs_;
  std::string row_; // kept between rows to spare an allocation each
};

} // namespace arrivals
