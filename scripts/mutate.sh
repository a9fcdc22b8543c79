#!/usr/bin/env bash
# The mutation check: puts small faults into the pure libraries and the port
# layer one at a time (a flipped comparison, a bound moved by one, a dropped
# statement, two fields of a table row swapped, a changed constant), rebuilds
# what each one touches, runs the unit tests that link it, and says which
# faults the tests caught and which survived. It measures the tests, so that
# trimming them is checked rather than guessed. Not part of CI: a full run
# takes an hour or more on two busy cores.
#
#   scripts/mutate.sh [--list FILE] [--only PATTERN] [--bar FILE] [--save-bar FILE] [--check]
#
#   --list FILE      the mutations (default scripts/mutations.txt; its head
#                    explains the format)
#   --only PATTERN   only the mutations whose id or file matches this
#                    extended regular expression
#   --bar FILE       ids that must be caught (default scripts/mutations.bar
#                    when it exists); the summary names every one that is
#                    not, and the exit status is 1
#   --save-bar FILE  writes the ids caught in this run to FILE
#   --check          only checks that every anchor is found exactly once
#
# Build tree: build-mutate (Debug), or $MUTATE_BUILD. The unit tests are the
# test programs outside tests/e2e that do not link Qt Widgets; a mutation
# runs only those its rebuild relinked, the mutated file's own area first,
# and stops at the first that fails. A program that runs past its time-out
# ($MUTATE_TIMEOUT seconds, default three times its clean run plus 60)
# counts as having caught the fault. build-mutate/mutate-log holds the build
# and test output of the last mutation, mutate-results the outcome of each.
#
# The source tree is restored after every mutation and on any exit,
# interrupt included. A run killed outright leaves the original file in the
# build tree, and the next run puts it back before anything else.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

list=scripts/mutations.txt
only= bar= save_bar= check_only=
while [ $# -gt 0 ]; do
  case $1 in
    --list) list=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --bar) bar=$2; shift 2 ;;
    --save-bar) save_bar=$2; shift 2 ;;
    --check) check_only=1; shift ;;
    -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) echo "mutate.sh: unknown argument $1 (see --help)" >&2; exit 2 ;;
  esac
done
if [ -z "$bar" ] && [ -f scripts/mutations.bar ]; then bar=scripts/mutations.bar; fi
[ -f "$list" ] || { echo "mutate.sh: no list $list" >&2; exit 2; }

# ---- The list ----

ids=() files=() notes=() anchors=() replacements=()
parse_list() {
  local line id= file note n=-1 mode=
  while IFS= read -r line || [ -n "$line" ]; do
    case $line in
      '@ '*)
        read -r _ id file note <<<"$line"
        n=$((n + 1)); ids[n]=$id; files[n]=$file; notes[n]=$note
        anchors[n]=; replacements[n]=; mode=
        ;;
      '-'|'- '*)
        [ "$mode" != + ] || { echo "mutate.sh: $list: \"-\" after \"+\" in $id" >&2; exit 2; }
        [ -z "$mode" ] || anchors[n]+=$'\n'
        anchors[n]+=${line:2}; mode=-
        ;;
      '+'|'+ '*)
        [ "$mode" != + ] || replacements[n]+=$'\n'
        replacements[n]+=${line:2}; mode=+
        ;;
      ''|'#'*) ;;
      *) echo "mutate.sh: $list: cannot read: $line" >&2; exit 2 ;;
    esac
  done <"$list"
}
parse_list
declare -A seen
for i in "${!ids[@]}"; do
  [ -z "${seen[${ids[i]}]:-}" ] || { echo "mutate.sh: $list: id ${ids[i]} twice" >&2; exit 2; }
  seen[${ids[i]}]=1
  [ -n "${anchors[i]}" ] || { echo "mutate.sh: $list: ${ids[i]} has no anchor" >&2; exit 2; }
done

selected=()
for i in "${!ids[@]}"; do
  if [ -z "$only" ] || [[ ${ids[i]} =~ $only ]] || [[ ${files[i]} =~ $only ]]; then selected+=("$i"); fi
done

# find_anchor I: sets `text` to the file and `rest` to what follows the
# anchor; false when the anchor is not there exactly once (the code moved on).
find_anchor() {
  local file=${files[$1]} anchor=${anchors[$1]}
  text= rest=
  [ -f "$file" ] || return 1
  IFS= read -r -d '' text <"$file" || true
  rest=${text#*"$anchor"}
  [ "$rest" != "$text" ] && [ "${rest#*"$anchor"}" = "$rest" ]
}

if [ -n "$check_only" ]; then
  bad=0
  for i in "${selected[@]}"; do
    find_anchor "$i" || { echo "stale  ${ids[i]}  ${files[i]}"; bad=$((bad + 1)); }
  done
  echo "${#selected[@]} mutations, $bad stale"
  [ $bad -eq 0 ]
  exit
fi

# ---- Putting the source back ----

build=${MUTATE_BUILD:-build-mutate}
mkdir -p "$build"
build=$(cd "$build" && pwd)
saved=$build/mutate-original   # the file under mutation, as it was
pending=$build/mutate-pending   # its path while a mutation is applied
log=$build/mutate-log
results=$build/mutate-results

restore() {
  if [ -f "$pending" ]; then
    # A plain copy gives the file a new time, so the next build recompiles it.
    cp "$saved" "$root/$(cat "$pending")"
    rm -f "$pending"
  fi
}
if [ -f "$pending" ]; then
  echo "Restoring $(cat "$pending"), left mutated by an earlier run."
  restore
fi
trap restore EXIT
trap 'restore; echo; echo "Interrupted; the source tree is restored."; exit 130' INT TERM HUP

# ---- The build tree and its unit tests ----

if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANTA_BENCH=OFF \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null
fi

# The test programs outside tests/e2e that do not link Qt Widgets, from
# the link rules.
mapfile -t units < <(awk '
  /^build [^ :]*_tests: CXX_EXECUTABLE_LINKER/ { exe = $2; sub(":$", "", exe); next }
  exe != "" && /^  LINK_LIBRARIES/ {
    if (exe !~ /(^|\/)tests\/e2e\// && $0 !~ /Qt6Widgets/) print exe
    exe = ""
  }' "$build/build.ninja")
[ ${#units[@]} -gt 0 ] || { echo "mutate.sh: no unit test programs in $build" >&2; exit 2; }
targets=()
for exe in "${units[@]}"; do targets+=("$(basename "$exe")"); done

build_units() { ninja -C "$build" "${targets[@]}" >"$log" 2>&1; }

# run_unit EXE SECONDS: the program in its own build directory, as ctest runs it.
run_unit() {
  (cd "$build/$(dirname "$1")" && QT_QPA_PLATFORM=offscreen timeout -k 10 "$2" "./$(basename "$1")" \
    --gtest_brief=1 --gtest_fail_fast >>"$log" 2>&1)
}

echo "Building the unit tests in $build: ${targets[*]}"
build_units || { cat "$log"; echo "mutate.sh: the unmutated tree does not build" >&2; exit 1; }
declare -A limit
for exe in "${units[@]}"; do
  start=$(date +%s)
  : >"$log"
  if ! run_unit "$exe" 900; then
    cat "$log"
    echo "mutate.sh: $exe fails on the unmutated tree; fix that first" >&2
    exit 1
  fi
  limit[$exe]=${MUTATE_TIMEOUT:-$((3 * ($(date +%s) - start) + 60))}
done

# ---- One mutation ----

# Sets `status`: caught, survived, stale, or nobuild (the mutant does not
# compile: the list needs mending).
mutate_one() {
  local file=${files[$1]} text rest
  status=stale
  find_anchor "$1" || return 0
  cp "$file" "$saved"
  echo "$file" >"$pending"
  printf '%s' "${text%%"${anchors[$1]}"*}${replacements[$1]}$rest" >"$file"

  local marker=$build/mutate-marker
  touch "$marker"
  status=survived
  if ! build_units; then
    status=nobuild
  else
    # The mutated file's own area first: its tests catch most faults soonest.
    local area=${file%%/*} exe ordered=() rc
    for exe in "${units[@]}"; do [[ $exe == *"/$area/"* || $exe == "$area/"* ]] && ordered+=("$exe"); done
    for exe in "${units[@]}"; do [[ $exe == *"/$area/"* || $exe == "$area/"* ]] || ordered+=("$exe"); done
    for exe in "${ordered[@]}"; do
      [ "$build/$exe" -nt "$marker" ] || continue
      echo "== $exe" >>"$log"
      rc=0
      run_unit "$exe" "${limit[$exe]}" || rc=$?
      if [ $rc -ne 0 ]; then
        status="caught by $(basename "$exe")"
        if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then status+=" (time-out)"; fi
        break
      fi
    done
  fi
  restore
}

# ---- The run ----

echo "${#selected[@]} mutations from $list"
: >"$results"
started=$(date +%s)
caught=0 survived=() stale=() nobuild=() caught_ids=()
k=0
for i in "${selected[@]}"; do
  k=$((k + 1))
  t0=$(date +%s)
  mutate_one "$i"
  by=
  [[ $status != caught* ]] || by=${status#caught}
  printf '[%3d/%d] %-26s %-8s %s%s (%ss)\n' "$k" "${#selected[@]}" "${ids[i]}" "${status%% *}" \
    "${files[i]}" "$by" "$(($(date +%s) - t0))"
  echo "${ids[i]} $status" >>"$results"
  case $status in
    caught*) caught=$((caught + 1)); caught_ids+=("${ids[i]}") ;;
    survived) survived+=("$i") ;;
    stale) stale+=("$i") ;;
    nobuild) nobuild+=("$i") ;;
  esac
done
restore
build_units || true  # the build tree matches the source again
elapsed=$(($(date +%s) - started))

echo
printf 'Mutations: %d, caught %d, survived %d, stale %d, not building %d; %dm%02ds\n' "${#selected[@]}" \
  "$caught" "${#survived[@]}" "${#stale[@]}" "${#nobuild[@]}" $((elapsed / 60)) $((elapsed % 60))
for i in "${survived[@]}"; do echo "  survived  ${ids[i]}  ${files[i]}  ${notes[i]}"; done
for i in "${stale[@]}"; do echo "  stale     ${ids[i]}  ${files[i]}: the anchor is not found once; mend the list"; done
for i in "${nobuild[@]}"; do echo "  nobuild   ${ids[i]}  ${files[i]}: the mutant does not compile; mend the list"; done

if [ -n "$save_bar" ]; then
  {
    echo "# The mutations of scripts/mutations.txt that the unit tests catch; every"
    echo "# one must stay caught. Written by scripts/mutate.sh --save-bar: $caught of"
    echo "# ${#selected[@]} caught at $(git log -1 --format=%h), $(date -u +%F), in $((elapsed / 60)) minutes."
    printf '%s\n' "${caught_ids[@]}" | sort
  } >"$save_bar"
  echo "Wrote the $caught caught ids to $save_bar"
fi

lost=() gone=()
if [ -n "$bar" ]; then
  declare -A now_caught in_run
  for id in "${caught_ids[@]}"; do now_caught[$id]=1; done
  for i in "${selected[@]}"; do in_run[${ids[i]}]=1; done
  checked=0
  while IFS= read -r id; do
    case $id in ''|'#'*) continue ;; esac
    # An id taken out of the list is a fault the bar counts on and no one tries.
    if [ -z "${seen[$id]:-}" ]; then gone+=("$id"); continue; fi
    [ -n "${in_run[$id]:-}" ] || continue
    checked=$((checked + 1))
    [ -n "${now_caught[$id]:-}" ] || lost+=("$id")
  done <"$bar"
  echo "Bar $bar: $((checked - ${#lost[@]})) of the $checked ids of this run it lists are caught."
  for id in "${lost[@]}"; do echo "  NO LONGER CAUGHT  $id"; done
  for id in "${gone[@]}"; do echo "  NOT IN THE LIST   $id"; done
fi
[ ${#lost[@]} -eq 0 ] && [ ${#gone[@]} -eq 0 ]
