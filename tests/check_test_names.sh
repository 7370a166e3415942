#!/usr/bin/env bash
# Lists the suite as ctest does (run in the build folder) and fails on a test name a person cannot
# read in the summary: longer than 120 characters, or holding an address or a dump of bytes, which
# change from build to build.
#   check_test_names.sh CTEST
set -euo pipefail
names=$("$1" -N | sed -n 's/^ *Test *#[0-9]*: //p')
if [ -z "$names" ]; then
  echo "ctest -N listed no tests" >&2
  exit 1
fi
status=0
while IFS= read -r name; do
  if [ ${#name} -gt 120 ]; then
    echo "longer than 120 characters (${#name}): $name"
    status=1
  fi
  if grep -Eq '0x[0-9a-fA-F]{4,}|-byte object|[0-9A-F]{2}-[0-9A-F]{2} [0-9A-F]{2}-[0-9A-F]{2}' <<<"$name"; then
    echo "holds an address or a dump of bytes: $name"
    status=1
  fi
done <<<"$names"
echo "$(wc -l <<<"$names") test names checked"
exit $status
