#pragma once

#include <string>
#include <string_view>

namespace arrivals {

// The program's help, written once for every front end: what each control
// does, what each graph shows and in which unit, the red process name, the
// keys, typing a rate, what slows a live run, and where the guide is.
// Plain text: paragraphs apart by a blank line, list items on lines that
// begin with "- ". `version` is the program's, as --version prints it.
std::string HelpText(std::string_view version);

} // namespace arrivals
