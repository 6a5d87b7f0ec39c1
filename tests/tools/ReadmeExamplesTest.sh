#!/usr/bin/env bash
# Runs every example command of the README's sh blocks against this build, in a scratch folder laid
# out like a clone with a Release build, and checks that the options the examples use are the ones
# quova_host --help lists. A line in an sh block that this script does not know how to run fails the
# test, so a new example cannot go untested.
set -euo pipefail
repo="$1" build="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/build/release/tools/host" "$work/build/release/plugin" "$work/home"
ln -s "$build/tools/host/quova_host" "$work/build/release/tools/host/quova_host"
ln -s "$build/plugin/Quova.so" "$work/build/release/plugin/Quova.so"
ln -s "$repo/docs" "$work/docs"
ln -s "$repo/scripts" "$work/scripts"

mapfile -t commands < <(awk '/^```sh$/ {inside = 1; next} /^```/ {inside = 0} inside && NF' "$repo/README.md")
((${#commands[@]} > 0)) || fail "no sh examples found in the README"

help="$("$build/tools/host/quova_host" --help)"
ran=0
for command in "${commands[@]}"; do
  case "$command" in
    build/release/tools/host/quova_host\ *)
      for option in $(grep -o -- '--[a-z][a-z-]*' <<<"$command" | sort -u); do
        grep -q -- "$option" <<<"$help" || fail "README uses $option, which --help does not list"
      done
      if [[ "$command" == *--editor* && -z "${DISPLAY:-}" ]]; then
        echo "skipped (no DISPLAY): $command"
        continue
      fi
      ;;
    scripts/install | scripts/install\ --uninstall) ;;
    *) fail "README example this test does not run: $command" ;;
  esac
  echo "running: $command"
  (cd "$work" && HOME="$work/home" QUOVA_BUILD="$build" bash -c "$command" >"$work/last.log" 2>&1) ||
    { cat "$work/last.log" >&2; fail "example failed: $command"; }
  ran=$((ran + 1))
  case "$command" in
    scripts/install) [[ -f "$work/home/.vst/Quova.so" ]] || fail "install left no module in ~/.vst" ;;
    scripts/install\ --uninstall) [[ ! -e "$work/home/.vst/Quova.so" ]] || fail "uninstall left the module" ;;
  esac
done

# What the examples promise to write.
for file in arpeggio.mid my-sound.chunk arpeggio-96.mid; do
  [[ -s "$work/$file" ]] || fail "the examples did not write $file"
done
[[ -z "${DISPLAY:-}" || -s "$work/editor.png" ]] || fail "the editor example wrote no picture"
echo "README examples: $ran commands ran"
