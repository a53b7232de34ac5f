#!/usr/bin/env bash
# Set-up if needed, build, then every test under Wine on a private X display.
# Extra arguments go to ctest (for example -R Package).
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh" || exit 1
source "$here/scripts/session.sh"
echo "test: $(describe_test_arch testing)"
start_session unit

cd "$test_build_dir" && ctest --output-on-failure --timeout 600 -j "${TEST_JOBS:-2}" "$@"
status=$?
stop_session
"$here/scripts/native-test.sh" || status=1
echo "test: $(describe_test_arch "tested")"
exit $status
