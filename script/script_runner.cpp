#include "script/script_runner.h"

#include "script/script_random.h"

namespace arrivals {

int RunScript(ByteSource &in, ByteSink &out, ByteSink &err,
              const ScriptOptions &options, std::string_view program,
              std::string_view input) {
  ScriptRandom random;
  MainForm form(random);
  ScriptSession session(form, random, out, options);
  return PlayScript(in, session, err, program, input);
}

} // namespace arrivals
