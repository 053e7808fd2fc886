#!/usr/bin/env bash
# Runs the Install wizard scenarios of a configured Windows tree under Wine for winxp or win98
# and keeps a PNG of every page they pass in BUILD_TREE/screens/VERSION.
#   wizard-screens.sh BUILD_TREE [VERSION]     e.g. wizard-screens.sh build/win64 win98
set -eu
tree=$(cd "$1" && pwd) version=${2:-winxp} status=0
rm -f "$tree/screens/$version"/*
xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --test-dir "$tree" -R "^e2e_wizard\.$version\$" --output-on-failure || status=$?
for picture in "$tree/screens/$version"/*.bmp; do
  [ -e "$picture" ] && convert "$picture" "${picture%.bmp}.png" && rm "$picture"
done
ls "$tree/screens/$version"
exit "$status"
