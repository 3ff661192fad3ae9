#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "arrivals_version.h"
#include "tools/script_tool.h"

namespace arrivals {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// What a descriptor of a temporary file holds, from its start.
std::string Contents(std::FILE *file) {
  std::rewind(file);
  std::string text;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
    text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

Outcome RunTool(const std::vector<std::string> &args,
                const std::string &script = "") {
  std::FILE *in = std::tmpfile();
  std::FILE *out = std::tmpfile();
  std::FILE *err = std::tmpfile();
  std::fputs(script.c_str(), in);
  std::fflush(in);
  std::rewind(in);
  const int status = RunScriptTool(args, fileno(in), fileno(out), fileno(err));
  std::fclose(in);
  return {status, Contents(out), Contents(err)};
}

std::string ReadFile(const std::string &name) {
  std::ifstream file(name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(script_tool, command_line) {
  const std::string usage(ScriptUsage());
  const std::string file = testing::TempDir() + "arrivals_tool_trace.csv";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  } const kCases[] = {
      {{}, 0, "", ""},
      {{"--help"}, 0, usage, ""},
      {{"--help", "--bogus"}, 0, usage, ""}, // read in order
      {{"--version"}, 0, "arrivals-script " ARRIVALS_VERSION "\n", ""},
      {{"--packets", file}, 0, "", ""},
      {{"--seconds=" + file}, 0, "", ""},
      {{"--bogus", "--help"},
       2,
       "",
       "arrivals-script: unknown option '--bogus'\n" + usage},
      {{"--pack", file},
       2,
       "",
       "arrivals-script: unknown option '--pack'\n" + usage},
      {{"--version=2"},
       2,
       "",
       "arrivals-script: unknown option '--version=2'\n" + usage},
      {{"-"},
       2,
       "",
       "arrivals-script: unexpected argument '-': the script comes on "
       "standard input\n" +
           usage},
      {{"--packets", file, "--packets", file},
       2,
       "",
       "arrivals-script: --packets given more than once\n" + usage},
      {{"--packets"},
       2,
       "",
       "arrivals-script: option '--packets' needs a file name\n" + usage},
      {{"--packets", file, "--seconds"},
       2,
       "",
       "arrivals-script: option '--seconds' needs a file name\n" + usage},
      {{"--seconds", "/nonexistent/s.csv"},
       2,
       "",
       "arrivals-script: cannot write /nonexistent/s.csv: No such file or "
       "directory\n"},
      // Opened, but the rows cannot be written.
      {{"--packets", "/dev/full"},
       2,
       "",
       "arrivals-script: cannot write /dev/full: No space left on device\n"},
      {{"--seconds=/dev/full"},
       2,
       "",
       "arrivals-script: cannot write /dev/full: No space left on device\n"},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const Outcome o = RunTool(c.args);
    EXPECT_EQ(o.status, c.status);
    EXPECT_EQ(o.out, c.out);
    EXPECT_EQ(o.err, c.err);
  }
  // The last run that wrote `file` was --seconds=FILE alone.
  EXPECT_EQ(ReadFile(file), "time_ms,second,count_1s,count_3s,count_10s\n");
}

// "Regular" at 2.0: a gap of 500 ms, launched on the second timer event of
// a run and on every tenth after it; each timer event is 50 ms.
TEST(script_tool, traces_hold_every_row_of_the_run) {
  const std::string packets = testing::TempDir() + "arrivals_packets.csv";
  const std::string seconds = testing::TempDir() + "arrivals_seconds.csv";
  const Outcome o = RunTool({"--packets", packets, "--seconds", seconds},
                            "load\n"
                            "pick process 1\n"
                            // Idle with the timer on: 8 seconds roll while
                            // stopped and write nothing; time_ms 8000.
                            "click pause\nclick pause\ntick 160\n"
                            // Events 161-180: launches on 162 and 172, and
                            // second 9 closes its 3-second window.
                            "click start\ntick 20\n"
                            // Dropped while paused: time_ms stands still.
                            "click pause\ntick 5\nclick pause\n"
                            // 181-200: launches on 182 and 192; second 10
                            // closes the 10-second window.
                            "tick 20\n"
                            // A process that matches no name: event 202
                            // draws a gap of 0 and writes nothing.
                            "type process x\ntick 2\n"
                            // The reset of the change restarts run_ms.
                            "type process Regular\ntick\n"
                            // Stopped with the timer off: nothing.
                            "click start\ntick 40\n"
                            // A failing line keeps what was written.
                            "bogus\n");
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, "line 18: unknown command 'bogus'\n");
  EXPECT_EQ(ReadFile(packets), "time_ms,run_ms,packet,gap_ms\n"
                               "8100,100,1,500\n"
                               "8600,600,2,500\n"
                               "9100,1100,3,500\n"
                               "9600,1600,4,500\n"
                               "10150,50,1,500\n");
  EXPECT_EQ(ReadFile(seconds), "time_ms,second,count_1s,count_3s,count_10s\n"
                               "9000,9,2,2,\n"
                               "10000,10,2,,4\n");
}

// A trace never goes to the file the script comes from or the dumps go
// to: refused before a line runs, both files left as they were.
TEST(script_tool, refuses_a_trace_on_its_own_input_or_output) {
  const std::string script = testing::TempDir() + "arrivals_tool_in.script";
  const std::string dumps = testing::TempDir() + "arrivals_tool_out.jsonl";
  const struct {
    const char *option;
    const std::string &file;
    const char *other;
  } kCases[] = {
      {"--packets", script, "standard input"},
      {"--seconds", dumps, "standard output"},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.option);
    std::ofstream(script, std::ios::binary) << "load\ndump\n";
    std::ofstream(dumps, std::ios::binary) << "old\n";
    const int in = ::open(script.c_str(), O_RDONLY);
    const int out = ::open(dumps.c_str(), O_WRONLY | O_APPEND);
    std::FILE *err = std::tmpfile();
    EXPECT_EQ(RunScriptTool({c.option, c.file}, in, out, fileno(err)), 2);
    ::close(in);
    ::close(out);
    // (How the input is named depends on its descriptor: 0 in the tool.)
    const std::string said = Contents(err);
    EXPECT_EQ(said.rfind("arrivals-script: cannot write " + c.file +
                             ": the same file as ",
                         0),
              0u)
        << said;
    EXPECT_TRUE(said.ends_with(std::string(c.other) + "\n")) << said;
    EXPECT_EQ(ReadFile(script), "load\ndump\n");
    EXPECT_EQ(ReadFile(dumps), "old\n");
  }
}

// The help is a reference a user types from: every command row it lists,
// filled in with sample values, runs; together the rows cover every command
// word of the language; every line fits 80 columns; it points to the manual.
TEST(script_tool, help_lists_commands_that_run) {
  const std::string help(ScriptUsage());
  EXPECT_NE(help.find("arrivals-script(1)"), std::string::npos);
  std::istringstream lines(help);
  std::string line;
  std::vector<std::string> rows;
  bool inCommands = false;
  while (std::getline(lines, line)) {
    EXPECT_LE(line.size(), 80U) << line;
    if (line.rfind("Script commands", 0) == 0) {
      inCommands = true;
    } else if (line.empty()) {
      inCommands = false;
    } else if (inCommands && line.size() > 2 && line[2] != ' ') {
      rows.push_back(line.substr(2, line.find("  ", 2) - 2));
    }
  }
  const std::pair<std::string, std::string> kSamples[] = {
      {"U1 U2 ...", "0.5 0.25"}, {"[N]", "2"}, {"N", "7"}, {"I", "1"},
      {"TEXT", "Cantor"},
  };
  std::vector<std::string> words;
  for (std::string row : rows) {
    words.push_back(row.substr(0, row.find(' ')));
    for (const auto &[from, to] : kSamples) {
      const std::size_t at = row.find(from);
      if (at != std::string::npos)
        row.replace(at, from.size(), to);
    }
    const bool beforeLoad =
        row.rfind("seed", 0) == 0 || row.rfind("draws", 0) == 0;
    const std::string script = row == "load" ? "seed 1\nload\n"
                               : beforeLoad  ? row + "\nload\n"
                                             : "seed 1\nload\n" + row + "\n";
    const Outcome o = RunTool({}, script);
    EXPECT_EQ(o.status, 0) << row << ": " << o.err;
  }
  for (const char *word :
       {"seed", "draws", "load", "click", "type", "pick", "tick", "dump"})
    EXPECT_NE(std::find(words.begin(), words.end(), word), words.end())
        << "the help does not list " << word;
}

} // namespace
} // namespace arrivals
