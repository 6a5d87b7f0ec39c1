#!/usr/bin/env bash
# scripts/install: into a temporary folder twice (the second run replaces the first copy and
# leaves no temporary file behind), the installed module loads and plays in the command-line
# host, the default folder follows HOME (~/.vst only, also when ~/.lxvst exists: a host scanning
# both would list the plug-in twice), copies elsewhere are named and left alone, and --uninstall
# removes what was installed.
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

export VST_PATH="" LXVST_PATH=""
mkdir -p "$work/home/.lxvst"
HOME="$work/home" "$script" --module "$module" >/dev/null || fail "install into HOME"
[[ -f "$work/home/.vst/Quova.so" && ! -e "$work/home/.lxvst/Quova.so" ]] || fail "install went beyond ~/.vst"

# An older copy in ~/.lxvst is named by install and uninstall, and stays where it is.
cp "$module" "$work/home/.lxvst/Quova.so"
HOME="$work/home" "$script" --module "$module" | grep -q "another copy is in $work/home/.lxvst" ||
  fail "install did not name the copy in ~/.lxvst"
"$script" --uninstall "$work/plugins" >/dev/null || fail "uninstall"
[[ ! -e "$work/plugins/Quova.so" ]] || fail "uninstall left the module"
removed="$(HOME="$work/home" "$script" --uninstall)" || fail "uninstall from HOME"
grep -qx "removed $work/home/.vst/Quova.so" <<<"$removed" || fail "uninstall from HOME said: $removed"
grep -q "another copy is in $work/home/.lxvst" <<<"$removed" || fail "uninstall did not name the copy in ~/.lxvst"
[[ ! -e "$work/home/.vst/Quova.so" && -f "$work/home/.lxvst/Quova.so" ]] || fail "uninstall from HOME touched ~/.lxvst"
if "$script" --no-such-option 2>/dev/null; then fail "a bad option was accepted"; fi
echo "install script: all checks passed"
