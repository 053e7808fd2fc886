#!/usr/bin/env bash
# Runs the Install wizard scenarios under Wine for one Windows version and keeps a picture of
# every page they pass, as PNG files a person can look through.
#   wizard-screens.sh BUILD_TREE [VERSION]     e.g. wizard-screens.sh build/win64 win98
# The pictures land in BUILD_TREE/screens/VERSION.
set -eu
tree=$(cd "$1" && pwd) version=${2:-winxp}
here=$(cd "$(dirname "$0")/../.." && pwd)
out=$tree/screens/$version status=0
rm -rf "$out" && mkdir -p "$out"
Z614_SCREENSHOT_DIR=$out Z614_WINE_VERSION=$version Z614_WINE_ROOT=${Z614_WINE_ROOT:-$tree/wine} \
Z614_SETUP_EXE=$tree/Z614Setup.exe \
Z614_FULL_SETUP_EXE=$tree/tests/e2e/Z614SetupFull.exe \
Z614_BARE_SETUP_EXE=$tree/tests/e2e/Z614SetupBare.exe \
  xvfb-run -a -s "-screen 0 1024x768x24" "$here/cmake/wine-run.sh" \
  "$tree/tests/e2e/e2e_tests.exe" --gtest_filter='InstallWizard.*' || status=$?
for picture in "$out"/*.bmp; do
  [ -e "$picture" ] || continue
  convert "$picture" "${picture%.bmp}.png" && rm "$picture"
done
ls "$out"
exit "$status"
