#!/usr/bin/env bash
# Checks what the scripts of scripts/ do with their command lines (the help,
# a wrong option, an option's value) and that a step fails when it leaves a
# process running (leftovers.sh). Each case runs in an environment of its
# own making, with stand-ins that stop a script at its first real work: no
# package counts as installed and none is installed, and cmake, ctest, cpack
# and git fail; or, for the calls that scripts/test makes, stand-ins that
# only note them. Runs in about ten seconds and changes nothing.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts=$(dirname "$here")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho 7\n' >"$work/bin/nproc"
for tool in cmake ctest cpack git; do
  printf '#!/bin/sh\necho "stand-in %s: not run" >&2\nexit 97\n' "$tool" \
    >"$work/bin/$tool"
done
chmod 755 "$work/bin"/*
system_path=$(getconf PATH 2>/dev/null || echo /usr/bin:/bin)
path=$work/bin:$system_path

passed=0 failed=0
# check NAME WANT_RC WANT_STDERR -- COMMAND...: runs COMMAND in the stand-in
# environment; its exit code must be WANT_RC and the first line it writes
# to stderr must match the pattern WANT_STDERR.
check() {
  local name=$1 want_rc=$2 want_err=$3
  shift 4
  local rc=0 err
  env -i PATH="$path" HOME="$work" LC_ALL=C ARRIVALS_NO_INSTALL=1 "$@" \
    >"$work/out" 2>"$work/err" </dev/null || rc=$?
  err=$(head -n 1 "$work/err")
  # shellcheck disable=SC2053 # WANT_STDERR is a pattern
  if [[ $rc == "$want_rc" && $err == $want_err ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL %s\n  exit %s, wanted %s\n  stderr: %s\n  wanted: %s\n' \
      "$name" "$rc" "$want_rc" "$err" "$want_err"
  fi
}

# The help is the comment at the top, from its second line, without "# ".
for name in run test web figures package check-package check-reproducible \
  fuzz tidy; do
  check "$name --help" 0 "" -- "$scripts/$name" --help
  want=$(sed -n '2,$p' "$scripts/$name" | sed '/^#/!Q' | sed -E 's/^# ?//')
  [[ $(cat "$work/out") == "$want" ]] || {
    failed=$((failed + 1))
    printf 'FAIL %s --help prints:\n%s\n' "$name" "$(head -n 3 "$work/out")"
  }
done

unknown="scripts/%s: unknown option '%s'"
for name in run test web package check-package check-reproducible fuzz; do
  # shellcheck disable=SC2059 # the format is ours
  check "$name: a wrong option" 2 "$(printf "$unknown" "$name" --bogus)" \
    -- "$scripts/$name" --bogus
done
# shellcheck disable=SC2059
check "tidy: a single-dash option is not a file" 2 \
  "$(printf "$unknown" tidy -x)" -- "$scripts/tidy" -x
check "test: --asan with --werror" 2 \
  "scripts/test: --asan and --werror are separate runs; pick one" \
  -- "$scripts/test" --asan --werror
check "test: --werror twice is one run" 0 "" \
  -- "$scripts/test" --werror --werror --help
check "fuzz: --seconds takes a whole number" 2 \
  "scripts/fuzz: --seconds needs a whole number" \
  -- "$scripts/fuzz" --seconds 1x --help
check "web: --window takes a value" 0 "" \
  -- "$scripts/web" --window /nowhere --help
check "check-package: --deb takes a value" 0 "" \
  -- "$scripts/check-package" --deb x.deb --help
check "run: the window needs a display" 1 "scripts/run: no display*" \
  -- "$scripts/run"
check "run --demo needs none" 1 "Installing missing Debian packages: *" \
  -- "$scripts/run" --demo
# shellcheck disable=SC2016 # for the inner shell
check "jobs: one a core" 0 "" -- bash -c \
  'source "$1"; [[ $(arrivals_jobs) == 7 ]]' _ "$here/deps.sh"

# What scripts/test runs, from a copy of the scripts whose cmake and ctest
# only note their arguments and whose packages all count as installed.
root=$work/root
mkdir -p "$root/build-ci/app" "$root/build-web" "$work/dry"
: >"$root/build-web/arrivals.html"
cp -R "$scripts" "$root/scripts"
printf '#!/bin/sh\n' >"$root/build-ci/app/arrivals"
printf '#!/bin/sh\nprintf installed\n' >"$work/dry/dpkg-query"
for tool in cmake ctest; do
  # shellcheck disable=SC2016 # for the stand-in
  printf '#!/bin/sh\necho "%s $*" >>"$HOME/calls"\n' "$tool" >"$work/dry/$tool"
done
chmod 755 "$work/dry"/* "$root/build-ci/app/arrivals"
# dry NAME CALLS COMMAND...: COMMAND makes these cmake and ctest calls.
dry() {
  local name=$1 want=$2 calls
  shift 2
  : >"$work/calls"
  path=$work/dry:$work/bin:$system_path check "$name" 0 "" -- "$@"
  calls=$(sed 's/ -DCMAKE_CXX_COMPILER_LAUNCHER=ccache//' "$work/calls")
  [[ $calls == "$want" ]] || {
    failed=$((failed + 1))
    printf 'FAIL %s calls:\n%s\n  wanted:\n%s\n' "$name" "$calls" "$want"
  }
}
dry "test --werror: then the browser edition beside its window" \
  "cmake --workflow --preset ci
cmake --preset web -DARRIVALS_DESKTOP_WINDOW=$root/build-ci/app/arrivals
cmake --build --preset web
ctest --preset web --parallel 7" "$root/scripts/test" --werror
dry "test with ARRIVALS_NO_WEB=1: no browser edition" \
  "cmake --workflow --preset dev" env ARRIVALS_NO_WEB=1 "$root/scripts/test"
dry "test --asan -- ARGS: the arguments reach ctest" \
  "cmake --preset asan
cmake --build --preset asan
ctest --preset asan -R model" "$root/scripts/test" --asan -- -R model

# A step that leaves a process running fails, inside another step too; the
# process is ended. Otherwise the step's own status stands.
# shellcheck disable=SC2016
leftover='source "$1"; shift; ARRIVALS_TEST_RUN=outer arrivals_without_leftovers "$@"'
check "a leftover fails the step" 1 "left running by *: pid *: sleep 30" \
  -- bash -c "$leftover" _ "$here/leftovers.sh" \
  bash -c 'sleep 30 >/dev/null 2>&1 &'
pid=$(sed -n '1s/.*: pid \([0-9]*\):.*/\1/p' "$work/err")
if [[ -n $pid && -e /proc/$pid ]] && ! grep -q '^State:.*zombie' "/proc/$pid/status"; then
  failed=$((failed + 1))
  echo "FAIL the leftover $pid is still running"
fi
check "a step's own failure stands" 3 "" \
  -- bash -c "$leftover" _ "$here/leftovers.sh" bash -c 'exit 3'
check "a clean step passes" 0 "" \
  -- bash -c "$leftover" _ "$here/leftovers.sh" bash -c 'sleep 0.1 & wait'

echo "scripts: $passed passed, $failed failed"
((failed == 0))
