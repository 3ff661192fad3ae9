#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arrivals {

class MainForm;

// Appends `text` as a JSON string: quotes, backslashes and control
// characters escaped, every other byte (UTF-8 included) as it is.
void AppendJsonString(std::string &out, std::string_view text);

// One line of JSON (no newline) with the state of the form: the run, the
// controls the program changes, the messages shown since the previous dump
// and the number of uniform draws taken so far.
std::string DumpForm(const MainForm &form,
                     const std::vector<std::string> &messages,
                     std::uint64_t draws);

} // namespace arrivals
