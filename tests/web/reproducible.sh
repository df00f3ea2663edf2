#!/usr/bin/env bash
# The same source, the same site: the web edition's files made a second time (the font subsets,
# the pages and the site; the WebAssembly as built) are byte for byte those made the first time,
# so that devices download a build only when it changed.   reproducible.sh BUILD_FOLDER
set -u
build=$1
(cd "$build" && sha256sum mokopera.html mokopera-teacher.html site/*.* site/icons/*) >"$build/first.sha256" || exit 1
rm -f "$build"/web/*.woff2 "$build"/web/*licence.txt "$build/mokopera.html" "$build/mokopera-teacher.html" "$build/site/index.html"
cmake --build "$build" --target web_site >/dev/null || { echo "FAIL: the second build"; exit 1; }
if (cd "$build" && sha256sum --quiet -c first.sha256); then
  echo "the web files are the same at a second build"
else
  echo "FAIL: a second build made other web files"
  exit 1
fi
