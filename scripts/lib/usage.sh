# shellcheck shell=bash
# The help of a script is the comment at its top: from its second line to
# the first line that is not a comment. Sourced by the scripts that take -h
# or --help.

# Prints that comment for the running script, without the "# " before each
# line.
arrivals_usage() {
  awk 'NR == 1 { next } !/^#/ { exit } { sub(/^# ?/, ""); print }' "$0"
}
