#!/usr/bin/env bash
# Builds the Debian package: a Release build for the prefix /usr in
# build-package/ (without the tests), with Debian's flags (-O2 and the
# hardening ones: GCC 12 warns falsely at -O3, and warnings are errors here),
# then cpack. Prints the path of the .deb.
#
#   scripts/package.sh [cmake options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$top/build-package

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cxxflags=$(dpkg-buildflags --get CXXFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

"$top/scripts/build.sh" "$dir" "${launcher[@]}" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DPELMORA_TESTS=OFF \
    "-DCMAKE_C_FLAGS_RELEASE=-DNDEBUG" "-DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG" \
    "-DCMAKE_C_FLAGS=$cppflags $(dpkg-buildflags --get CFLAGS)" \
    "-DCMAKE_CXX_FLAGS=$cppflags $cxxflags" \
    "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" "-DCMAKE_SHARED_LINKER_FLAGS=$ldflags" \
    "$@" >&2
(cd "$dir" && cpack -G DEB >&2)
ls -t "$dir"/pelmora-*.deb | head -n 1
