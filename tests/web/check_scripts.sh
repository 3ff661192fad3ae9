#!/usr/bin/env bash
# The page's scripts checked: every script of the page (its parts, the
# scene's format as the build wrote it, and each <script> of the page as
# built) parses under Node.js, and the parts pass eslint, pinned in
# tests/web/lint with its lock file and installed once into the build tree.
#
#   tests/web/check_scripts.sh PAGE LINT_DIR SCRIPT...
set -euo pipefail

page=$1 lint=$2
shift 2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
for script in "$@"; do
  node --check "$script" || { echo "node --check failed: $script"; failed=1; }
done
# Each script of the page as built, on its own.
python3 - "$page" "$work" <<'PY'
import pathlib, re, sys
html = pathlib.Path(sys.argv[1]).read_text()
for i, body in enumerate(re.findall(r"<script>(.*?)</script>", html, re.S)):
    pathlib.Path(sys.argv[2], "page-%d.js" % i).write_text(body)
PY
count=0
for script in "$work"/page-*.js; do
  count=$((count + 1))
  node --check "$script" || { echo "node --check failed: script $count of the page"; failed=1; }
done
((count >= 2)) || { echo "the page has $count scripts, expected the module's and its own"; failed=1; }

mkdir -p "$lint"
if ! cmp -s "$here/lint/package-lock.json" "$lint/package-lock.json" ||
  [[ ! -x $lint/node_modules/.bin/eslint ]]; then
  cp "$here/lint/package.json" "$here/lint/package-lock.json" "$lint/"
  (cd "$lint" && npm ci --no-audit --no-fund --loglevel=error)
fi
# eslint checks the parts in the source tree (the scene's format is made).
parts=()
for script in "$@"; do
  [[ $script == "$root"/* ]] && parts+=("${script#"$root"/}")
done
(cd "$root" && ESLINT_USE_FLAT_CONFIG=true "$lint/node_modules/.bin/eslint" \
  --config tests/web/lint/eslint.config.js "${parts[@]}") || failed=1
((failed == 0)) && echo "the page's $# scripts and its $count parts as built: checked"
exit "$failed"
