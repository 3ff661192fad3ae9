#!/usr/bin/env bash
# Checks arrivals_ensure_packages against stand-ins for dpkg-query, apt-get
# and sudo: what it installs, how, and when it gives up. Runs in a second;
# needs no network and changes nothing on the machine. Every case runs in an
# environment of its own making, so that the caller's (DEBIAN_FRONTEND,
# ARRIVALS_NO_INSTALL, EUID, a PATH with a real sudo first) changes nothing.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
# A copy that another user can read wherever the checkout lies (/root...).
cp "$here/deps.sh" "$work/deps.sh" && chmod 644 "$work/deps.sh"

# The stand-ins keep their state in files: the packages dpkg knows with their
# status, and a log of every apt-get and sudo call.
mkdir "$work/bin"
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/bash
pkg=${!#}
line=$(grep "^$pkg " "$FAKE/status" | tail -n 1)
[[ -n $line ]] || {
  echo "dpkg-query: no packages found matching $pkg" >&2
  exit 1
}
printf '%s' "${line#* }"
STUB
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/bash
echo "apt-get $* [$DEBIAN_FRONTEND${ARRIVALS_TEST_RUN+ marked}] uid=$(id -u)" >>"$FAKE/log"
[[ $1 == install && -z ${FAKE_APT_BROKEN:-} ]] || exit 0
for arg in "$@"; do
  [[ $arg == -* || $arg == install ]] || echo "$arg installed" >>"$FAKE/status"
done
STUB
cat >"$work/bin/sudo" <<'STUB'
#!/bin/bash
echo "sudo $1" >>"$FAKE/log"
exec "$@"
STUB
chmod 755 "$work/bin"/*
# The system's tools, after the stand-ins.
system_path=$(getconf PATH 2>/dev/null || echo /usr/bin:/bin)

passed=0 failed=0
runner=() # a command prefix that runs the case as another user
# check NAME WANT_RC WANT_LOG STATUS_LINES [ENV...] -- PACKAGES...
# Runs arrivals_ensure_packages on PACKAGES with dpkg's status set to
# STATUS_LINES and compares its exit code and the calls it made.
check() {
  local name=$1 want_rc=$2 want_log=$3 status=$4
  shift 4
  local -a env=()
  while [[ $1 != -- ]]; do env+=("$1"); shift; done
  shift
  local fake=$work/case
  rm -rf "$fake" && mkdir "$fake" && chmod 777 "$fake"
  printf '%s' "$status" >"$fake/status" && chmod 666 "$fake/status"
  : >"$fake/log" && chmod 666 "$fake/log"
  local rc=0
  # shellcheck disable=SC2016 # expanded by the inner shell
  "${runner[@]}" env -i FAKE="$fake" PATH="$work/bin:$system_path" \
    HOME="$fake" LC_ALL=C "${env[@]}" \
    bash -c 'source "$1"; shift; arrivals_ensure_packages "$@"' _ \
    "$work/deps.sh" "$@" 2>"$fake/stderr" || rc=$?
  local log
  log=$(cat "$fake/log")
  if [[ $rc == "$want_rc" && $log == "$want_log" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL %s\n  exit %s, wanted %s\n  calls:\n%s\n  wanted:\n%s\n  stderr:\n%s\n' \
      "$name" "$rc" "$want_rc" "$log" "$want_log" "$(cat "$fake/stderr")"
  fi
}

ok=$'cmake installed\nxvfb installed\n'
install="apt-get install -y -q --no-install-recommends"

# As root: apt-get directly.
root_cases() {
  local as=$'[noninteractive] uid=0'
  local update="apt-get update -q $as"
  check "nothing missing: no apt-get at all" 0 "" "$ok" -- cmake xvfb
  check "missing ones only, after one update" 0 \
    "$update"$'\n'"$install xdotool fonts-liberation2 $as" \
    "$ok" -- cmake xdotool xvfb fonts-liberation2
  check "removed with its configuration left is missing" 0 \
    "$update"$'\n'"$install xvfb $as" \
    $'cmake installed\nxvfb config-files\n' -- cmake xvfb
  check "apt-get that installs nothing is a failure" 1 \
    "$update"$'\n'"$install xdotool $as" \
    "$ok" FAKE_APT_BROKEN=1 -- cmake xdotool
  check "apt-get: non-interactive, and not marked as a test's process" 0 \
    "$update"$'\n'"$install xdotool $as" "$ok" DEBIAN_FRONTEND=dialog \
    ARRIVALS_TEST_RUN=token -- xdotool
  check "ARRIVALS_NO_INSTALL only reports" 1 "" \
    "$ok" ARRIVALS_NO_INSTALL=1 -- xdotool
}

# As another user: through sudo when there is one, else a clear refusal
# with the command to run as root. No sudo: a PATH of the stand-ins and the
# few tools they and the helper use.
user_cases() {
  local as="[noninteractive] uid=$1"
  check "not root: nothing missing, no sudo asked" 0 "" "$ok" -- cmake
  check "not root: apt-get through sudo" 0 \
    $'sudo env\n'"apt-get update -q $as"$'\nsudo env\n'"$install xdotool $as" \
    "$ok" -- xdotool
  check "not root and no sudo: refuses, installs nothing" 1 "" \
    "$ok" PATH="$work/nosudo" -- xdotool
}
mkdir "$work/nosudo"
for tool in bash env grep tail cat id dpkg-query apt-get; do
  ln -s "$(PATH=$work/bin:$system_path command -v "$tool")" "$work/nosudo/$tool"
done

if [[ $(id -u) == 0 ]]; then
  root_cases
  if command -v setpriv >/dev/null; then
    runner=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    user_cases 65534
    runner=()
  else
    echo "skipped: the cases as another user (no setpriv)"
  fi
else
  echo "skipped: the cases as root"
  user_cases "$(id -u)"
fi

echo "deps: $passed passed, $failed failed"
((failed == 0))
