#pragma once

#include <array>
#include <string_view>

namespace arrivals {

// How a process makes its gap from the mean gap m.
enum class GapRule {
  Exponential, // -ln(1 - u) * m, u drawn again while u >= 0.99999
  Constant,    // m
  Uniform,     // u * m * 2
  Pareto,      // scale / u^(1 / alpha), alpha = m / (m - scale)
  Cantor,      // the next entry of the Cantor table, in tenths of m
};

struct ArrivalProcess {
  std::string_view name; // matched exactly, as the process box shows it
  GapRule rule;
  double scale = 0; // ms, Pareto processes only
};

// Every process the program knows, in the order the process box lists them.
// A name found nowhere here launches no packets.
inline constexpr std::array<ArrivalProcess, 7> kArrivalProcesses = {{
    {"Poisson", GapRule::Exponential, 0},
    {"Regular", GapRule::Constant, 0},
    {"Uniform", GapRule::Uniform, 0},
    {"Pareto 0.1", GapRule::Pareto, 100},
    {"Pareto 0.2", GapRule::Pareto, 200},
    {"Pareto 0.5", GapRule::Pareto, 500},
    {"Cantor", GapRule::Cantor, 0},
}};

// The process the window shows when it opens.
inline constexpr std::string_view kStartProcess = kArrivalProcesses[0].name;

// The process called exactly `name`, or nullptr.
constexpr const ArrivalProcess *FindArrivalProcess(std::string_view name) {
  for (const ArrivalProcess &p : kArrivalProcesses)
    if (p.name == name)
      return &p;
  return nullptr;
}

} // namespace arrivals
