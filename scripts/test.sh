#!/usr/bin/env bash
# The one test command: sets up the machine, builds the native, 64-bit Windows
# and 32-bit Windows builds, and runs every test (native under ASan and UBSan,
# the Windows ones under wine64 on a virtual display) in one CTest run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-machine.sh

for preset in native win64 win32; do
  echo "== configure and build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

# One CTest run over both test-running builds, so the run ends with one summary.
mkdir -p build/all
cat >build/all/CTestTestfile.cmake <<CTEST
subdirs("$PWD/build/native")
subdirs("$PWD/build/win64")
CTEST
ctest --test-dir build/all --output-on-failure -j 2 "$@"
