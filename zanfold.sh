#!/usr/bin/env bash
# Zanfold's single entry point: installs what the build needs, builds, and runs the program or its tests.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$here/build"

base_packages=(cmake ninja-build g++ pkg-config qt6-base-dev librsvg2-bin qt6-qpa-plugins
               qt6-translations-l10n libqt6sql6-sqlite libjpeg62-turbo-dev liblcms2-dev libdlib-dev googletest libgtest-dev)

# The cross-build for Windows: MinGW-w64, Wine to run its tests, NSIS for the installer, and what the
# libraries' sources are built with.
windows_packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64
                  nsis nasm tcl dpkg-dev qt6-base-dev-tools imagemagick zip unzip fonts-wqy-microhei)

usage() {
    cat <<TXT
usage: ./zanfold.sh COMMAND
  build   install what is missing, then configure and build into build/
  test    build, then run every test (non-zero exit on any failure)
  demo    build, then run the main job on the built-in sample album and template (into ./zanfold-demo)
  gui     build, then start the desktop program
  screenshot PATH [STEP ...]   build, then save a screenshot of the window (under a virtual X screen) to
            PATH, after the xdotool steps given (for example: key F4 to show the template window)
  bench   build, then time import and output against djpeg, libvips and ImageMagick (not a test)
  sanitize  build with AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize/) and run every test
            and fuzz replay; then the album, output and command-line tests under ThreadSanitizer (build-tsan/)
  windows   build the Windows libraries once (~/.cache/zanfold), cross-build Zanfold for Windows
            (build-windows/), run every test under Wine, and write the portable zip and the installer to dist/
  windows-screenshot PATH [STEP ...]  the Windows program under Wine on a virtual X screen, as screenshot
  fuzz TARGET [SECONDS]  run a libFuzzer target (project, library, ini, jpeg) built with clang (build-fuzz/);
            inputs that find a fault land in tests/fuzz/corpus/TARGET
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

# Configures (once) and builds a build folder of its own with the given compiler flags.
build_variant() {
    local dir="$1" flags="$2"
    shift 2
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$flags" \
            -DCMAKE_EXE_LINKER_FLAGS="$flags" "$@"
    fi
}

# Converts a path of this machine to the one Wine's programs see it under.
wine_path() {
    echo "Z:${1//\//\\}"
}

# Everything the Windows build and its programs under Wine need: the SDK, and a Wine of its own.
windows_environment() {
    install_packages "${base_packages[@]}" "${windows_packages[@]}"
    local started=$SECONDS
    sdk="$("$here/tools/windows/build-sdk.sh" | tail -1)"
    echo "Windows SDK: $sdk ($((SECONDS - started)) s)"
    export ZANFOLD_WINDOWS_SDK="$sdk"
    export WINEPREFIX="${ZANFOLD_CACHE:-$HOME/.cache/zanfold}/wine"
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
    export WINEPATH="$(wine_path "$sdk/bin");$(wine_path /usr/lib/gcc/x86_64-w64-mingw32/12-posix);$(wine_path /usr/x86_64-w64-mingw32/lib)"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot --init > /dev/null 2>&1
        wineserver --wait
        # Chinese text in the fonts Windows programs ask for, from the machine's own.
        for font in "SimSun" "NSimSun" "Microsoft YaHei" "Microsoft YaHei UI" "SimHei" "MS Shell Dlg" "MS Shell Dlg 2" \
                    "Tahoma" "Segoe UI"; do
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /t REG_SZ /d "WenQuanYi Micro Hei" /f \
                > /dev/null 2>&1
        done
        wineserver --wait
    fi
    # One Wine server for the whole run, so each test starts in a fraction of a second.
    wineserver --persistent=600
}

windows_build() {
    windows_environment
    local wbuild="$here/build-windows" started=$SECONDS
    if [ ! -f "$wbuild/build.ninja" ]; then
        PKG_CONFIG_LIBDIR="$sdk/lib/pkgconfig" cmake -S "$here" -B "$wbuild" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$here/tools/windows/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$sdk" \
            -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    fi
    PKG_CONFIG_LIBDIR="$sdk/lib/pkgconfig" cmake --build "$wbuild" --parallel "$(nproc)"
    echo "Cross-build: $((SECONDS - started)) s"
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
    [ $# -ge 1 ] || { echo "usage: ./zanfold.sh screenshot PATH.png [XDOTOOL-STEP ...]" >&2; exit 2; }
    install_packages xvfb xauth fonts-wqy-microhei imagemagick xdotool openbox
    build
    shot="$(realpath -m "$1")"
    shift
    # The program runs from a folder of its own, so its library is the sample template and a wedding
    # template beside it, whatever the build folder holds.
    stage="$(mktemp -d)"
    cp "$build/src/app/zanfold" "$stage/"
    "$build/src/cli/zanfold-cli" demo "$stage/demo" > /dev/null
    sed 's|</Templates>|<婚礼><info path="" type="" pTypeSum=" 2" count=" 15"/><photo><A width=" 1920" height=" 1080" count=" 12" flength=" 3"/><B width=" 1080" height=" 1920" count=" 3" flength=" 3"/></photo></婚礼></Templates>|' \
        "$stage/demo/zfTemplate.xml" > "$stage/zfTemplate.xml"
    # Under a virtual screen of its own with a window manager, as on a desktop (frames, placement, focus);
    # the steps (xdotool commands, such as "key F4") run once the window has drawn, then the whole screen
    # is grabbed.
    XDG_RUNTIME_DIR="$stage" xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
        openbox > /dev/null 2>&1 &
        "$0" & pid=$!
        sleep 3
        if [ $# -gt 1 ]; then
            xdotool search --onlyvisible --class zanfold windowfocus
            xdotool "${@:2}"
            sleep 1
        fi
        import -window root "$1"
        kill $pid' "$stage/zanfold" "$shot" "$@"
    rm -rf "$stage"
    echo "Screenshot: $shot"
    ;;
bench)
    install_packages imagemagick libvips-dev libvips-tools libjpeg-turbo-progs time pkg-config
    # Configure again so the libvips peer is found when it was installed just now.
    cmake -S "$here" -B "$build" > /dev/null
    build
    "$here/bench/run.sh" "$build"
    ;;
sanitize)
    install_packages "${base_packages[@]}"
    san="$here/build-sanitize"
    build_variant "$san" "-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    cmake --build "$san" --parallel "$(nproc)"
    # Leaks are reported except inside fontconfig, which keeps its caches until exit.
    ASAN_OPTIONS="abort_on_error=1:detect_leaks=1" \
        LSAN_OPTIONS="suppressions=$here/tests/sanitize/lsan.supp:print_suppressions=0" \
        UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
        ctest --test-dir "$san" --output-on-failure --parallel "$(nproc)"
    tsan="$here/build-tsan"
    build_variant "$tsan" "-fsanitize=thread -fno-omit-frame-pointer"
    cmake --build "$tsan" --parallel "$(nproc)" --target test_album test_output test_cli zanfold-cli
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$here/tests/sanitize/tsan.supp"
    for suite in album output cli; do
        (cd "$tsan/tests/$suite" && QT_QPA_PLATFORM=offscreen "./test_$suite")
    done
    ;;
fuzz)
    [ $# -ge 1 ] || { echo "usage: ./zanfold.sh fuzz TARGET [SECONDS]" >&2; exit 2; }
    install_packages "${base_packages[@]}" clang libclang-rt-14-dev
    fz="$here/build-fuzz"
    build_variant "$fz" "-fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer" \
        -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DZANFOLD_FUZZ=ON
    cmake --build "$fz" --parallel "$(nproc)" --target "fuzz_$1"
    corpus="$fz/corpus/$1"
    mkdir -p "$corpus"
    QT_QPA_PLATFORM=offscreen "$fz/tests/fuzz/fuzz_$1" -max_total_time="${2:-600}" -max_len=8192 -timeout=20 \
        -rss_limit_mb=3072 -artifact_prefix="$here/tests/fuzz/corpus/$1/" "$corpus" \
        "$here/tests/fuzz/corpus/$1"
    ;;
windows)
    windows_build
    started=$SECONDS
    ctest --test-dir "$here/build-windows" --output-on-failure --parallel "$(nproc)" --timeout 600 "$@"
    echo "Tests under Wine: $((SECONDS - started)) s"
    version="$(sed -n 's/^project(Zanfold VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")"
    "$here/tools/windows/package.sh" "$here/build-windows" "$sdk" "$here/dist" "$version"
    ;;
windows-screenshot)
    [ $# -ge 1 ] || { echo "usage: ./zanfold.sh windows-screenshot PATH.png [XDOTOOL-STEP ...]" >&2; exit 2; }
    install_packages xvfb xauth xdotool openbox
    windows_build
    shot="$(realpath -m "$1")"
    shift
    # From a portable folder of its own under a Chinese name with a space, with the sample album beside it.
    stage="$(mktemp -d)/照片 工作"
    mkdir -p "$stage"
    cp "$here/build-windows/src/app/zanfold.exe" "$here/build-windows/src/cli/zanfold-cli.exe" "$stage/"
    wine "$stage/zanfold-cli.exe" demo "$(wine_path "$stage/demo")" > /dev/null
    cp "$stage/demo/zfTemplate.xml" "$stage/"
    xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
        openbox > /dev/null 2>&1 &
        wine "$0" & pid=$!
        sleep 8
        if [ $# -gt 1 ]; then
            xdotool search --onlyvisible --name Zanfold windowfocus
            xdotool "${@:2}"
            sleep 2
        fi
        import -window root "$1"
        kill $pid' "$stage/zanfold.exe" "$shot" "$@"
    rm -rf "$(dirname "$stage")"
    echo "Screenshot: $shot"
    ;;
-h | --help | help)
    usage
    ;;
*)
    usage >&2
    exit 2
    ;;
esac
