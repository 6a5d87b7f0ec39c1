#!/usr/bin/env bash
# Runs every example command of the README's sh blocks in the order a reader meets them, in a
# scratch folder laid out like a fresh clone in which nothing has been built, with a HOME of its
# own. The compiler is the one thing not run for real: a stand-in for cmake "builds" a target by
# linking it from this build, and only the targets that were asked for, so an example that needs
# something scripts/install does not build fails here as it would for a reader. The fuzz targets
# are stood in for by a script that adds one input to its corpus. Also checks that the options the
# examples use are the ones quova_host --help lists, that the examples write only into their
# scratch folders, never into the clone, and that the kept sound plays other notes than the
# default. A line in an sh block that this script does not know how to run fails the test, so a
# new example cannot go untested. The editor examples need an X server: without DISPLAY the test
# is skipped (exit status 77).
#   ReadmeExamplesTest.sh REPO BUILD EDITOR_HAND
set -euo pipefail
repo="$1" build="$2" hand="$3"
[[ -n "${DISPLAY:-}" ]] || { echo "skipped: the editor examples need an X server (DISPLAY)"; exit 77; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The clone: the repository's files (not its build folders), and nothing built.
clone="$work/clone"
mkdir -p "$clone" "$work/home" "$work/bin"
for entry in "$repo"/* "$repo"/.[!.]*; do
  [[ -e "$entry" ]] || continue
  case "$(basename "$entry")" in build* | .git) continue ;; esac
  ln -s "$entry" "$clone/$(basename "$entry")"
done
before="$(ls -A "$clone")"

cat >"$work/bin/fuzz-stand-in" <<'EOF'
#!/usr/bin/env bash
corpus="${*: -1}"
[[ -d "$corpus" ]] || { echo "ERROR: The required directory \"$corpus\" does not exist"; exit 1; }
echo new >"$corpus/stand-in-input"
echo "stat::number_of_executed_units: 1"
EOF
cat >"$work/bin/cmake" <<EOF
#!/usr/bin/env bash
echo "cmake \$*" >>"$work/cmake.log"
if [[ "\$1" != --build ]]; then
  while ((\$# > 0)); do [[ "\$1" == -B ]] && mkdir -p "\$2"; shift; done
  exit 0
fi
dir="\$2" targets=0
for arg in "\$@"; do
  if [[ "\$arg" == --target ]]; then targets=1; continue; fi
  ((targets)) || continue
  case "\$arg" in
    quova_module) mkdir -p "\$dir/plugin" && ln -sf "$build/plugin/Quova.so" "\$dir/plugin/Quova.so" ;;
    quova_host) mkdir -p "\$dir/tools/host" && ln -sf "$build/tools/host/quova_host" "\$dir/tools/host/quova_host" ;;
    fuzz_*) mkdir -p "\$dir/fuzz" && cp "$work/bin/fuzz-stand-in" "\$dir/fuzz/\$arg" ;;
    *) echo "cmake stand-in: the README test cannot build \$arg" >&2; exit 1 ;;
  esac
done
EOF
# Packages are only looked at: one that is missing fails the install here instead of being fetched.
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
[[ "$1" == update ]] && exit 0
echo "apt-get stand-in: the README test installs no package ($*)" >&2
exit 1
EOF
chmod +x "$work/bin/"*

mapfile -t commands < <(awk '/^```sh$/ {inside = 1; next} /^```/ {inside = 0} inside && NF' "$repo/README.md")
((${#commands[@]} > 0)) || fail "no sh examples found in the README"

host="$build/tools/host/quova_host"
help="$("$host" --help)"
ran=0
for command in "${commands[@]}"; do
  hand_points=()
  case "$command" in
    build/release/tools/host/quova_host\ *)
      for option in $(grep -o -- '--[a-z][a-z-]*' <<<"$command" | sort -u); do
        grep -q -- "$option" <<<"$help" || fail "README uses $option, which --help does not list"
      done
      # The editor stays open until it is closed: the hand clicks four cells of the step grid
      # and closes the window, as the README asks the reader to.
      [[ "$command" == *"--editor-seconds -1"* ]] && hand_points=(36,296 60,320 84,344 108,368)
      ;;
    scripts/install | scripts/install\ --uninstall | "mkdir -p ~/quova-examples") ;;
    "QUOVA_FUZZ_KEEP=~/quova-fuzz scripts/fuzz "*) ;;
    *) fail "README example this test does not run: $command" ;;
  esac
  echo "running: $command"
  (
    cd "$clone"
    export HOME="$work/home" PATH="$work/bin:$PATH" XDG_DATA_HOME="$work/data" VST_PATH="" LXVST_PATH=""
    if ((${#hand_points[@]} > 0)); then
      bash -c "$command" &
      example=$!
      "$hand" "${hand_points[@]}" || { kill "$example"; echo "no editor window to click" >&2; exit 1; }
      wait "$example"
    else
      bash -c "$command"
    fi
  ) >"$work/last.log" 2>&1 || { cat "$work/last.log" >&2; fail "example failed: $command"; }
  ran=$((ran + 1))
  case "$command" in
    scripts/install)
      [[ -f "$work/home/.vst/Quova.so" ]] || fail "install left no module in ~/.vst"
      grep -q -- "--target.*quova_host" "$work/cmake.log" || fail "install does not build the host"
      ;;
    scripts/install\ --uninstall) [[ ! -e "$work/home/.vst/Quova.so" ]] || fail "uninstall left the module" ;;
  esac
done

# What the examples promise to write, and only there.
examples="$work/home/quova-examples"
for file in arpeggio.mid my-sound.chunk arpeggio-96.mid editor.png; do
  [[ -s "$examples/$file" ]] || fail "the examples did not write $file"
done
[[ "$(ls -A "$clone" | sort)" == "$(printf '%s\nbuild\n' "$before" | sort)" ]] ||
  fail "the examples wrote into the clone: $(ls -A "$clone" | tr '\n' ' ')"
[[ -f "$work/home/quova-fuzz/png/stand-in-input" ]] || fail "the fuzz example kept no corpus in ~/quova-fuzz"

# The kept sound is not the default one.
(cd "$clone" && XDG_DATA_HOME="$work/data" "$host" --quiet --tempo 96 --blocks 900 --midi-in docs/chords.mid \
  --midi-out "$work/default-96.mid" "$build/plugin/Quova.so" >/dev/null) || fail "the default playback failed"
if cmp -s "$work/default-96.mid" "$examples/arpeggio-96.mid"; then
  fail "the kept sound plays the same notes as the default"
fi
echo "README examples: $ran commands ran"
