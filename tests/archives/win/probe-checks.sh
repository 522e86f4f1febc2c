#!/usr/bin/env bash
# The archive list as a user drives it, through ArchiveListProbe under Wine,
# checked by Debian's tools: Debian zip's archive extracts as unzip extracts
# it, gcab's cabinet as cabextract does, a cancelled password writes
# nothing, and edited copies written back leave an archive that `unzip -t`
# passes, with the edits in it and the encrypted entry still encrypted;
# another program's file of the same name in %TEMP% is never touched.
#   probe-checks.sh <folder of the probe and fixtures> <test drive (T:)>
set -euo pipefail
bin=$1
drive=$2
name=qrvprobe-$$
work=$drive/$name
win="T:\\$name"
mkdir -p "$work"
shared_file=
cleanup() {
  rm -rf "$work"
  if [ -n "$shared_file" ]; then rm -f "$shared_file"; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  exit 1
}

# One run of the probe on an archive with the commands given on stdin.
probe() {
  local archive=$1
  shift
  wine "$bin/ArchiveListProbe.exe" "$archive" --commands --no-shell "$@" 2>&1 | tr -d '\r'
}

expect_line() {
  local output=$1 line=$2
  grep -qxF -- "$line" <<<"$output" || fail "no line \"$line\" in:
$output"
}

# --- Debian zip's archive (a self-extractor's stub in front, one entry
# encrypted) extracts with its folders as unzip extracts it.
cp "$bin/zip_r_crypt_stub.zip" "$work/t.zip"
mkdir -p "$work/ref"
# unzip warns of the stub's bytes in front (exit code 1) and extracts all.
rc=0
unzip -qq -P Passwort -d "$work/ref" "$work/t.zip" || rc=$?
[ "$rc" -le 1 ] || fail "unzip could not extract the fixture ($rc)"
out=$(printf 'password Passwort\nextract %s\\out\nquit\n' "$win" | probe "$win\\t.zip")
expect_line "$out" "result: ok"
expect_line "$out" "event password: secret.txt"
diff -r "$work/ref" "$work/out" || fail "the zip extraction differs from unzip's"

# A cancelled password stops: nothing of the encrypted entry is written.
out=$(printf 'password -\nflat %s\\cancelled secret.txt\nquit\n' "$win" | probe "$win\\t.zip")
expect_line "$out" "event password: secret.txt"
expect_line "$out" "result: failed"
[ ! -e "$work/cancelled/secret.txt" ] || fail "a cancelled password wrote the entry"

# --- gcab's cabinet extracts as cabextract extracts it; a test is refused.
cp "$bin/gcab_sub_utf8.cab" "$work/t.cab"
out=$(printf 'extract %s\\cab\ntest\nquit\n' "$win" | probe "$win\\t.cab")
expect_line "$out" "result: ok"
expect_line "$out" "event message: 0 Testen eines Archivs ist bei Cabinet-Archiven nicht möglich."
expect_line "$out" "error: Testen eines Archivs ist bei Cabinet-Archiven nicht möglich."
diff -r "$bin/cab_reference" "$work/cab" || fail "the cabinet extraction differs from cabextract's"

# --- Write-back: two entries without a folder, one encrypted, are opened,
# edited within the second they were extracted in and written back.
mkdir -p "$work/w/sub"
printf 'alpha' >"$work/w/a.txt"
printf 'beta' >"$work/w/sub/b.txt"
printf 'geheim' >"$work/w/s.txt"
(cd "$work/w" && zip -q ../w.zip a.txt sub/b.txt && zip -q -e -P pw ../w.zip s.txt)

coproc PROBE { wine "$bin/ArchiveListProbe.exe" "$win\\w.zip" --commands --no-shell 2>&1; }
# shellcheck disable=SC2153 # PROBE_PID is set by coproc
probe_pid=$PROBE_PID
# Copies of the pipes: bash closes its own when the probe ends.
exec {from_probe}<&"${PROBE[0]}" {to_probe}>&"${PROBE[1]}"
log=
found=
send() { printf '%s\n' "$1" >&"$to_probe"; }
# Reads the probe's lines up to the first that matches (kept in $found).
await() {
  local line
  while IFS= read -r -t 60 line <&"$from_probe"; do
    line=${line%$'\r'}
    log+="$line"$'\n'
    if [[ $line =~ $1 ]]; then
      found=$line
      return 0
    fi
  done
  return 1
}
# A Wine path of the prefix's drive C: as Linux sees it.
unix_path() {
  local path=${1#[Cc]:\\}
  printf '%s/drive_c/%s' "$WINEPREFIX" "${path//\\//}"
}

send temp
await '^temp: ' || fail "no temporary folder: $log"
own=$(unix_path "${found#temp: }")
# The shared %TEMP% holds "$Zovura", which holds the view's own folder.
shared=$(dirname "$(dirname "$own")")
[ -d "$shared" ] || fail "no shared temporary folder $shared"
shared_file=$shared/a.txt
printf 'fremd' >"$shared_file"

send "open a.txt"
await '^opened: ' || fail "a.txt was not opened: $log"
copy_a=$(unix_path "${found#opened: }")
[ "$(cat "$copy_a")" = alpha ] || fail "the copy of a.txt is not the entry"
printf ' bearbeitet' >>"$copy_a"
send "password pw"
send "open s.txt"
await '^opened: ' || fail "s.txt was not opened: $log"
copy_s=$(unix_path "${found#opened: }")
printf ' und bearbeitet' >>"$copy_s"
send "open sub\\b.txt"
await '^result: ' || fail "sub\\b.txt was not opened: $log"
send "writeback yes yes"
await '^records: ' || fail "no write-back: $log"
[ "$found" = "records: 0" ] || fail "records left after the write-back: $log"
send close
send quit
while IFS= read -r -t 60 line <&"$from_probe"; do log+="${line%$'\r'}"$'\n'; done
wait "$probe_pid" || fail "the probe ended with an error: $log"
[[ $log == *"event question: Die extrahierte Datei \"a.txt\" ist geändert worden."* ]] ||
  fail "a.txt was not offered: $log"
[[ $log != *"\"b.txt\" ist geändert"* ]] || fail "an entry with a folder was offered: $log"
[ "$(grep -c '^event password: s.txt' <<<"$log")" = 1 ] || fail "the password was asked again: $log"

unzip -tqq -P pw "$work/w.zip" || fail "unzip -t does not pass the written-back archive"
[ "$(unzip -p "$work/w.zip" a.txt)" = "alpha bearbeitet" ] || fail "the edit of a.txt is not in the archive"
[ "$(unzip -p -P pw "$work/w.zip" s.txt)" = "geheim und bearbeitet" ] ||
  fail "the edit of s.txt is not in the archive"
[ "$(unzip -p "$work/w.zip" sub/b.txt)" = beta ] || fail "sub/b.txt changed"
# zipinfo writes the text/binary letter of an encrypted entry upper-case.
zipinfo "$work/w.zip" s.txt | grep -qE '^\S+\s+\S+\s+\S+\s+\S+\s+[TB]' ||
  fail "s.txt went back unencrypted: $(zipinfo "$work/w.zip" s.txt)"

[ "$(cat "$shared_file")" = fremd ] || fail "another program's file in %TEMP% was changed"
[ ! -e "$copy_a" ] || fail "the copy written back stayed after closing"
echo "probe checks passed"
