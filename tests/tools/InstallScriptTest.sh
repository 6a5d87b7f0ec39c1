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
# Never the developer's own home (which may hold an installed copy that install would name) nor
# the plug-in paths of the shell. Output is read whole before it is searched: a pipe into grep -q
# would end with SIGPIPE when install prints more after the line grep was waiting for.
export HOME="$work/home" VST_PATH="" LXVST_PATH=""
mkdir -p "$HOME"

said="$("$script" --module "$module" "$work/plugins")" || fail "first install"
grep -qx "installed $work/plugins/Quova.so" <<<"$said" || fail "first install said: $said"
"$script" --module "$module" "$work/plugins" >/dev/null || fail "second install"
cmp -s "$module" "$work/plugins/Quova.so" || fail "installed copy differs from the module"
[[ "$(ls -A "$work/plugins")" == "Quova.so" ]] || fail "leftovers beside the module: $(ls -A "$work/plugins")"
"$host" -q -n 4 --note 0:C4:100:0 "$work/plugins/Quova.so" >/dev/null || fail "installed module does not load"

mkdir -p "$work/home/.lxvst"
"$script" --module "$module" >/dev/null || fail "install into HOME"
[[ -f "$work/home/.vst/Quova.so" && ! -e "$work/home/.lxvst/Quova.so" ]] || fail "install went beyond ~/.vst"

# An older copy in ~/.lxvst is named by install and uninstall, and stays where it is.
cp "$module" "$work/home/.lxvst/Quova.so"
said="$("$script" --module "$module")" || fail "install beside a copy in ~/.lxvst"
grep -q "another copy is in $work/home/.lxvst" <<<"$said" || fail "install did not name the copy in ~/.lxvst"
"$script" --uninstall "$work/plugins" >/dev/null || fail "uninstall"
[[ ! -e "$work/plugins/Quova.so" ]] || fail "uninstall left the module"
removed="$("$script" --uninstall)" || fail "uninstall from HOME"
grep -qx "removed $work/home/.vst/Quova.so" <<<"$removed" || fail "uninstall from HOME said: $removed"
grep -q "another copy is in $work/home/.lxvst" <<<"$removed" || fail "uninstall did not name the copy in ~/.lxvst"
[[ ! -e "$work/home/.vst/Quova.so" && -f "$work/home/.lxvst/Quova.so" ]] || fail "uninstall from HOME touched ~/.lxvst"
if "$script" --no-such-option 2>/dev/null; then fail "a bad option was accepted"; fi
echo "install script: all checks passed"
