#!/usr/bin/env bash
# Zanfold's single entry point: installs what the build needs, builds, and runs the program or its tests.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$here/build"

base_packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins
               libjpeg62-turbo-dev googletest libgtest-dev)

usage() {
    cat <<TXT
usage: ./zanfold.sh COMMAND
  build   install what is missing, then configure and build into build/
  test    build, then run every test (non-zero exit on any failure)
  demo    build, then run the main job on the built-in sample album and template (into ./zanfold-demo)
  gui     build, then start the desktop program
  screenshot PATH   build, then save a screenshot of the window (under a virtual X screen) to PATH
  bench   build, then time import and output against djpeg, libvips and ImageMagick (not a test)
TXT
}

# Installs the Debian packages that are not there yet (needs root, as on a fresh machine).
install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    install_packages "${base_packages[@]}"
    if [ ! -f "$build/build.ninja" ]; then
        cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    cmake --build "$build" --parallel "$(nproc)"
}

cmd="${1:-}"
[ $# -gt 0 ] && shift
case "$cmd" in
build)
    build
    ;;
test)
    build
    cd "$build"
    ctest --output-on-failure --parallel "$(nproc)" "$@"
    ;;
demo)
    build
    "$build/src/cli/zanfold-cli" demo "$@"
    ;;
gui)
    install_packages fonts-wqy-microhei
    build
    exec "$build/src/app/zanfold" "$@"
    ;;
screenshot)
    [ $# -ge 1 ] || { echo "usage: ./zanfold.sh screenshot PATH.png" >&2; exit 2; }
    install_packages xvfb xauth fonts-wqy-microhei imagemagick
    build
    shot="$(realpath -m "$1")"
    runtime="$(mktemp -d)"
    # The program under a virtual screen of its own; the whole screen is grabbed once it has drawn.
    XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
        "$0" & pid=$!
        sleep 3
        import -window root "$1"
        kill $pid' "$build/src/app/zanfold" "$shot"
    rm -rf "$runtime"
    echo "Screenshot: $shot"
    ;;
bench)
    install_packages imagemagick libvips-dev libvips-tools libjpeg-turbo-progs time pkg-config
    # Configure again so the libvips peer is found when it was installed just now.
    cmake -S "$here" -B "$build" > /dev/null
    build
    "$here/bench/run.sh" "$build"
    ;;
-h | --help | help)
    usage
    ;;
*)
    usage >&2
    exit 2
    ;;
esac
