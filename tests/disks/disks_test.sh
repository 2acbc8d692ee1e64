#!/usr/bin/env bash
# Converts on real file systems, mounted for the test, and checks what a run
# promises on each: the same bytes as on the local disk, nothing left beside
# the output, an existing name refused and left as it is, and after a kill -9
# at any instant nothing under the name or the whole output. Only where the
# file system can neither rename without replacing nor link (FAT and exFAT
# through FUSE) may a kill also leave the empty file that reserved the name.
#
#   disks_test.sh NOTORA_CLI SAMPLE_DRAWING
#
# Mounting takes root, /dev/fuse, loop devices and each file system's tools;
# a file system that cannot be mounted here is skipped with the reason, and
# the test as a whole (exit 77) when none can.
set -uo pipefail

cli=$1
sample=$2
refused='変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙが有ります。'
work=$(mktemp -d "$PWD/disks.XXXXXX") || exit 1
mounts=()
loops=()
failures=0

cleanup() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}"
  done
  for i in "${loops[@]}"; do losetup -d "$i"; done
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
  echo "FAIL $fs: $*"
  failures=$((failures + 1))
  return 1
}

# The sample's entities repeated until the drawing is several MB long, so
# that a run lasts long enough to be killed while it writes.
large_drawing() {
  LC_ALL=C awk -v copies=3000 '
    function field(n, width) { return sprintf("%" width "d", n) }
    { section = substr($0, 73, 1) }
    section == "S" || section == "G" { head = head $0 "\n"; count[section]++ }
    section == "D" { d[++nd] = $0 }
    section == "P" { p[++np] = $0 }
    END {
      printf "%s", head
      for (c = 0; c < copies; c++)
        for (i = 1; i <= nd; i++) {
          # The first D record of an entry points at its first P record.
          r = d[i]
          if (i % 2) r = substr(r, 1, 8) field(substr(r, 9, 8) + c * np, 8) substr(r, 17)
          print substr(r, 1, 73) field(i + c * nd, 7)
        }
      for (c = 0; c < copies; c++)
        for (i = 1; i <= np; i++)
          print substr(p[i], 1, 64) field(substr(p[i], 65, 8) + c * nd, 8) "P" field(i + c * np, 7)
      printf "S%7dG%7dD%7dP%7d%40sT%7d\n", count["S"], count["G"], nd * copies, np * copies, "", 1
    }' "$1"
}

convert() {  # SOURCE OUTPUT_NAME: exit status in $status, messages in $work/stderr
  "$cli" convert -m jis "$1" "$2" > /dev/null 2> "$work/stderr"
  status=$?
}

# Requires each named program; else says which one is missing.
have() {
  local program
  for program; do
    command -v "$program" > /dev/null || { why="$program is not installed"; return 1; }
  done
}

# A 64 MiB image made by the given mkfs command, attached to a loop device
# ($loop).
attach_image() {  # NAME MKFS...
  local image=$work/$1.img
  shift
  truncate -s 64M "$image" && "$@" "$image" > /dev/null 2>&1 || { why="$1 failed"; return 1; }
  loop=$(losetup -f --show "$image" 2> "$work/stderr") || { why="losetup: $(< "$work/stderr")"; return 1; }
  loops+=("$loop")
}

# Mounts the file system $fs on $dir; else sets $why.
mount_disk() {
  local output
  [[ $fs == local ]] && return 0
  [[ $(id -u) -eq 0 ]] || { why="mounting takes root"; return 1; }
  case $fs in
    tmpfs) output=$(mount -t tmpfs -o size=64m notora-disks "$dir" 2>&1) ;;
    *)
      [[ -c /dev/fuse && -w /dev/fuse ]] || { why="no /dev/fuse"; return 1; }
      [[ -e /dev/loop-control ]] || { why="no loop devices"; return 1; }
      case $fs in
        exfat-fuse)
          have losetup mkfs.exfat mount.exfat-fuse && attach_image exfat mkfs.exfat || return 1
          output=$(mount.exfat-fuse "$loop" "$dir" 2>&1) ;;
        fusefat)
          have losetup mkfs.vfat fusefat && attach_image fat mkfs.vfat || return 1
          output=$(fusefat -o rw+ "$loop" "$dir" 2>&1) ;;
        ntfs-3g)
          have losetup mkntfs ntfs-3g && attach_image ntfs mkntfs -F -Q || return 1
          output=$(ntfs-3g "$loop" "$dir" 2>&1) ;;
      esac ;;
  esac
  mountpoint -q "$dir" || { why="cannot mount: ${output%%$'\n'*}"; return 1; }
  mounts+=("$dir")
}

# The folder holds exactly the named entries, hidden ones included.
holds() {
  local listed expected
  listed=$(LC_ALL=C ls -A "$dir" | tr '\n' ' ')
  expected=$(printf '%s\n' "$@" | LC_ALL=C sort | tr '\n' ' ')
  [[ $listed == "$expected" ]] || fail "the folder holds '$listed', not '$expected'"
}

# Kills a conversion of the large drawing at five instants, one in each
# fifth of the time a whole run took, and checks what each leaves.
check_kills() {  # FULL_RUN_NS EMPTY_NAME_ALLOWED PART_ALLOWED
  local slot delay outcome outcomes=() entry
  for slot in 0 1 2 3 4; do
    delay=$(awk -v ns="$1" -v f=$((slot * 20 + RANDOM % 20)) \
              'BEGIN { d = ns * f / 1e11; printf "%.3f", d < .001 ? .001 : d }')
    # (The braces keep the shell's "Killed" notice out of the log.)
    { timeout -s KILL "$delay" "$cli" convert -m jis "$dir/large.igs" killed > /dev/null; } 2> /dev/null
    status=$?
    [[ $status -eq 0 || $status -eq 137 ]] || fail "a run to be killed at ${delay}s ended with $status" || return
    if [[ ! -e $dir/killed.igs && ! -L $dir/killed.igs ]]; then
      outcome=nothing
    elif cmp -s "$dir/killed.igs" "$work/reference/large-jis.igs"; then
      outcome=whole
    elif [[ $2 == yes && -f $dir/killed.igs && ! -s $dir/killed.igs ]]; then
      outcome=empty
    else
      fail "killed at ${delay}s, killed.igs holds $(stat -c %s "$dir/killed.igs") bytes, not the whole output"
      return
    fi
    for entry in $(ls -A "$dir"); do
      case $entry in
        drawing.igs | large.igs | drawing-jis.igs | large-jis.igs | killed.igs) ;;
        .killed.igs.[0-9]*-[0-9]*.part)
          [[ $3 == yes ]] || fail "killed at ${delay}s, $entry is left beside the output" || return ;;
        *) fail "killed at ${delay}s, $entry is left beside the output"; return ;;
      esac
    done
    outcomes+=("${delay}s:$outcome")
    rm -f "$dir/killed.igs" "$dir"/.killed.igs.*.part
  done
  echo "$fs: killed at ${outcomes[*]}"
}

# Every check on the folder $dir.
check_disk() {  # EMPTY_NAME_ALLOWED PART_ALLOWED
  local start full_run
  cp "$sample" "$dir/drawing.igs" && cp "$work/reference/large.igs" "$dir/large.igs" ||
    fail "cannot copy the drawings" || return
  convert "$dir/drawing.igs" drawing-jis
  [[ $status -eq 0 ]] || fail "convert ended with $status: $(< "$work/stderr")" || return
  cmp "$dir/drawing-jis.igs" "$work/reference/drawing-jis.igs" || fail "the output differs" || return
  holds drawing.igs drawing-jis.igs large.igs || return

  start=$(date +%s%N)
  convert "$dir/large.igs" large-jis
  full_run=$(($(date +%s%N) - start))
  [[ $status -eq 0 ]] || fail "convert of the large drawing ended with $status: $(< "$work/stderr")" || return
  cmp "$dir/large-jis.igs" "$work/reference/large-jis.igs" || fail "the large output differs" || return
  holds drawing.igs drawing-jis.igs large-jis.igs large.igs || return

  convert "$dir/drawing.igs" drawing-jis
  [[ $status -eq 2 ]] || fail "converting to an existing name ended with $status" || return
  grep -qF "$refused" "$work/stderr" || fail "the refusal says: $(< "$work/stderr")" || return
  cmp "$dir/drawing-jis.igs" "$work/reference/drawing-jis.igs" ||
    fail "the refused run changed the existing file" || return
  holds drawing.igs drawing-jis.igs large-jis.igs large.igs || return

  check_kills "$full_run" "$@"
}

# The outputs every file system must match, made on the local disk.
fs=reference
mkdir "$work/reference" && cp "$sample" "$work/reference/drawing.igs" &&
  large_drawing "$sample" > "$work/reference/large.igs" || exit 1
for name in drawing large; do
  convert "$work/reference/$name.igs" "$name-jis"
  [[ $status -eq 0 ]] || { fail "convert ended with $status: $(< "$work/stderr")"; exit 1; }
done

mounted=0
for fs in local tmpfs ntfs-3g exfat-fuse fusefat; do
  dir=$work/$fs
  mkdir "$dir"
  if ! mount_disk; then
    echo "$fs: skipped, $why"
    continue
  fi
  [[ $fs == local ]] || mounted=$((mounted + 1))
  case $fs in
    fusefat | exfat-fuse) check_disk yes yes ;;  # the name reserved at the start
    tmpfs) check_disk no no ;;                   # an unnamed file, linked at the end
    *) check_disk no yes ;;
  esac && echo "$fs: passed"
done

((failures == 0)) || exit 1
if ((mounted == 0)); then
  echo "skipped: no file system could be mounted here"
  exit 77
fi
