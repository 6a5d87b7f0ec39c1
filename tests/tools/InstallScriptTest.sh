#!/usr/bin/env bash
# scripts/install: into a temporary folder twice (the second run replaces the first copy and
# leaves no temporary file behind), the installed module loads and plays in the command-line
# host, the default folders follow HOME (~/.vst, and ~/.lxvst only when it exists), and
# --uninstall removes every copy again.
set -euo pipefail
script="$1" module="$2" host="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$script" --module "$module" "$work/plugins" | grep -qx "installed $work/plugins/Quova.so" || fail "first install"
"$script" --module "$module" "$work/plugins" >/dev/null || fail "second install"
cmp -s "$module" "$work/plugins/Quova.so" || fail "installed copy differs from the module"
[[ "$(ls -A "$work/plugins")" == "Quova.so" ]] || fail "leftovers beside the module: $(ls -A "$work/plugins")"
"$host" -q -n 4 --note 0:C4:100:0 "$work/plugins/Quova.so" >/dev/null || fail "installed module does not load"

HOME="$work/home" "$script" --module "$module" >/dev/null || fail "install into HOME"
[[ -f "$work/home/.vst/Quova.so" && ! -e "$work/home/.lxvst" ]] || fail "default folders without ~/.lxvst"
mkdir "$work/home/.lxvst"
HOME="$work/home" "$script" --module "$module" >/dev/null || fail "install into HOME with ~/.lxvst"
[[ -f "$work/home/.lxvst/Quova.so" ]] || fail "~/.lxvst not used when it exists"

"$script" --uninstall "$work/plugins" >/dev/null || fail "uninstall"
[[ ! -e "$work/plugins/Quova.so" ]] || fail "uninstall left the module"
HOME="$work/home" "$script" --uninstall >/dev/null || fail "uninstall from HOME"
[[ ! -e "$work/home/.vst/Quova.so" && ! -e "$work/home/.lxvst/Quova.so" ]] || fail "uninstall from HOME left a copy"
if "$script" --no-such-option 2>/dev/null; then fail "a bad option was accepted"; fi
echo "install script: all checks passed"
