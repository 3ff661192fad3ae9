# shellcheck shell=bash
# Runs a test step and fails it when a process it started outlives it: a
# browser left behind by its driver, an X server, a `sleep &` in a test.
# Sourced by scripts/test and .ci/run.
#
# Every process the step starts inherits ARRIVALS_TEST_RUN, which holds a
# random token of this step (after the tokens of the steps around it, when
# steps nest). When the step has ended, a live process whose environment
# still holds the token is left over: each is reported on one line and
# ended, and the step fails. Processes that are ending get a few seconds.
# A process that clears its environment (env -i) is not seen.

# Prints the pids of the live processes whose environment holds TOKEN. This
# shell does not export the token, so grep does not find itself.
arrivals_marked_processes() {
  grep -l -s -z -x -E "ARRIVALS_TEST_RUN=(.* )?$1( .*)?" /proc/[0-9]*/environ |
    sed -e 's|^/proc/||' -e 's|/environ$||' || true
}

# arrivals_without_leftovers COMMAND [ARGS...]: runs COMMAND (a program or
# a shell function) marked, then ends what it left running. Returns
# COMMAND's status, or 1 when it succeeded but left a process behind.
arrivals_without_leftovers() {
  local token rc=0
  token=$(od -A n -N 8 -t x1 /dev/urandom | tr -d ' \n')
  ARRIVALS_TEST_RUN="${ARRIVALS_TEST_RUN:+$ARRIVALS_TEST_RUN }$token" "$@" ||
    rc=$?

  local -a pids=()
  local tries
  for ((tries = 0; tries < 20; tries++)); do
    mapfile -t pids < <(arrivals_marked_processes "$token")
    ((${#pids[@]} == 0)) && return "$rc"
    sleep 0.25
  done
  local pid command
  for pid in "${pids[@]}"; do
    command=$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null || true)
    command=${command% }
    echo "left running by '$*': pid $pid: ${command:0:200}" >&2
  done
  kill -TERM "${pids[@]}" 2>/dev/null || true
  for ((tries = 0; tries < 20; tries++)); do
    mapfile -t pids < <(arrivals_marked_processes "$token")
    ((${#pids[@]} == 0)) && break
    sleep 0.1
  done
  ((${#pids[@]} == 0)) || kill -KILL "${pids[@]}" 2>/dev/null || true
  echo "'$*' left processes running; they are ended now" >&2
  ((rc != 0)) || rc=1
  return "$rc"
}
