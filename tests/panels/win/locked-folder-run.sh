#!/usr/bin/env bash
# Runs the list's size test with a subfolder nobody may list: owned by
# nobody, no permissions, and the test's Wine client in a user namespace of
# its own, where being root on the machine gives no right to another's
# files (the system's access check answers error 5, as on Windows).
#   locked-folder-run.sh <test program> <test drive>
set -euo pipefail
program=$1
drive=$2
top=$drive/qrvlocked-$$
mkdir -p "$top/Oben/Zu"
printf 'sichtbar' > "$top/Oben/offen.txt"
printf 'geheim' > "$top/Oben/Zu/versteckt.txt"
cleanup() {
  chmod 755 "$top/Oben/Zu" 2>/dev/null || true
  chown -R "$(id -u):$(id -g)" "$top" 2>/dev/null || true
  rm -rf "$top"
}
trap cleanup EXIT
chown -R 65534:65534 "$top/Oben/Zu"
chmod 000 "$top/Oben/Zu"
export QRV_LOCKED_FOLDER="T:\\$(basename "$top")\\Oben\\Zu"
unshare -r wine "$program" --gtest_filter=DirViewSizesTest.AnUnreadableSubfolderCountsAsEmpty
