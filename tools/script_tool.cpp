#include "tools/script_tool.h"

#include <optional>

#include "arrivals_version.h"
#include "script/byte_io.h"
#include "script/output_files.h"
#include "script/script_runner.h"
#include "script/script_text.h"

namespace arrivals {

namespace {

constexpr std::string_view kUsage =
    "usage: arrivals-script [--packets FILE] [--seconds FILE]"
    " < SCRIPT > DUMPS\n"
    "       arrivals-script --help | --version\n"
    "Runs the main form without a window: reads a form script on standard\n"
    "input and prints each dump as one line of JSON on standard output.\n"
    "\n"
    "  --packets FILE  write one CSV row per packet launched to FILE\n"
    "  --seconds FILE  write one CSV row per second closed to FILE\n"
    "  --help          print this help and exit\n"
    "  --version       print the version and exit\n"
    "\n"
    "Script commands, one a line (a line starting with # is a comment):\n"
    "  seed N             draw from the program's generator, seeded with N\n"
    "  draws U1 U2 ...    draw these values in [0, 1) first, in order\n"
    "  load               start the form up, once (only seed, draws and\n"
    "                     dump may come before it)\n"
    "  click start        press Start/Stop\n"
    "  click pause        press Pause/Cont\n"
    "  click view I       select a view: 0 time series, 1 histogram\n"
    "  type rate TEXT     type TEXT into the rate box\n"
    "  pick rate I        pick rate I of the list: 0 is 0.1 ... 8 is 4.0\n"
    "  type process TEXT  type TEXT into the process box\n"
    "  pick process I     pick process I: 0 Poisson ... 6 Cantor\n"
    "  tick [N]           N timer events of 50 ms each (default 1)\n"
    "  dump               print the state of the form as JSON\n"
    "\n"
    "Exit status: 0 when every line ran; 2 for a line or an option it cannot\n"
    "understand, or a file it cannot read or write; 3 when the script runs\n"
    "out of draws; 130, 143 and 129 when SIGINT, SIGTERM or SIGHUP stops\n"
    "it, and 141 when the reader of a pipe it writes has gone (every other\n"
    "output flushed first).\n"
    "\n"
    "More in arrivals-script(1): every command, the dump and the traces.\n";

ScriptCommandLine Fail(std::string error) {
  ScriptCommandLine line;
  line.action = ScriptCommandLine::Action::Fail;
  line.error = std::move(error);
  return line;
}

void Say(int fd, std::string_view text) {
  FdSink sink(fd, {});
  sink.Write(text);
  sink.Flush();
}

} // namespace

ScriptCommandLine ParseScriptCommandLine(const std::vector<std::string> &args) {
  ScriptCommandLine line;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--help") {
      line.action = ScriptCommandLine::Action::Help;
      return line;
    }
    if (arg == "--version") {
      line.action = ScriptCommandLine::Action::Version;
      return line;
    }
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    if (name != "--packets" && name != "--seconds") {
      if (arg.size() > 1 && arg.front() == '-')
        return Fail("unknown option " + QuotedExcerpt(arg));
      return Fail("unexpected argument " + QuotedExcerpt(arg) +
                  ": the script comes on standard input");
    }
    std::string value;
    if (equals != std::string_view::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return Fail("option '" + std::string(name) + "' needs a file name");
    }
    std::optional<std::string> &slot =
        name == "--packets" ? line.packets : line.seconds;
    if (slot)
      return Fail(std::string(name) + " given more than once");
    slot = std::move(value);
  }
  return line;
}

std::string_view ScriptUsage() { return kUsage; }

std::string ScriptVersion() {
  return std::string("arrivals-script ") + ARRIVALS_VERSION;
}

int RunScriptTool(const std::vector<std::string> &args, int in, int out,
                  int err) {
  const ScriptCommandLine line = ParseScriptCommandLine(args);
  switch (line.action) {
  case ScriptCommandLine::Action::Help:
    Say(out, ScriptUsage());
    return kScriptOk;
  case ScriptCommandLine::Action::Version:
    Say(out, ScriptVersion() + "\n");
    return kScriptOk;
  case ScriptCommandLine::Action::Fail:
    Say(err, "arrivals-script: " + line.error + "\n" + std::string(kUsage));
    return kScriptMalformed;
  case ScriptCommandLine::Action::Run:
    break;
  }

  OutputFiles files;
  files.ReadsFrom(in, "standard input");
  files.AlreadyOpen(out, "standard output");
  std::optional<std::size_t> packetsFile;
  std::optional<std::size_t> secondsFile;
  if (line.packets)
    packetsFile = files.Streamed(*line.packets);
  if (line.seconds)
    secondsFile = files.Streamed(*line.seconds);
  if (!files.Open()) {
    Say(err, "arrivals-script: " + files.error() + "\n");
    return kScriptMalformed;
  }
  std::optional<FdSink> packets;
  std::optional<FdSink> seconds;
  ScriptOptions options;
  if (packetsFile)
    options.packets = &packets.emplace(files.fd(*packetsFile), *line.packets);
  if (secondsFile)
    options.seconds = &seconds.emplace(files.fd(*secondsFile), *line.seconds);
  FdSource source(in);
  FdSink dumps(out, "standard output");
  dumps.FlushEachWriteUnlessRegularFile();
  FdSink messages(err, "standard error");
  return RunScript(source, dumps, messages, options);
}

} // namespace arrivals
