#include "script/script_runner.h"

#include <ostream>

#include "script/script_random.h"

namespace arrivals {

int RunScript(std::istream &in, std::ostream &out, std::ostream &err,
              const ScriptOptions &options) {
  ScriptRandom random;
  MainForm form(random);
  ScriptSession session(form, random, out, options);
  const int status = PlayScript(in, session, err);
  out.flush();
  return status;
}

} // namespace arrivals
