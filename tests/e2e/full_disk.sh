#!/usr/bin/env bash
# Runs the full-disk end-to-end test on a small file system of its own: a
# tmpfs mounted for the run, which the test fills before it starts the
# program. Mounting needs root (CAP_SYS_ADMIN); where the machine does not
# allow it the test is skipped (exit code 77, which CTest reports as such).
#   full_disk.sh E2E_TESTS_EXE
set -uo pipefail
exe=$1
mnt=$(mktemp -d /tmp/velmora-full.XXXXXX)
# Room for the program folder (about 2 MB) and little more.
if ! mount -t tmpfs -o size=6m,mode=0777 velmora-full "$mnt" 2>/dev/null; then
  rmdir "$mnt"
  echo "cannot mount a small file system here: full-disk test skipped"
  exit 77
fi
VELMORA_E2E_ROOT=$(winepath -w "$mnt") wine "$exe" --gtest_filter='FullDisk.*' --gtest_brief=1
rc=$?
umount "$mnt" 2>/dev/null || umount -l "$mnt"
rmdir "$mnt"
exit $rc
