#!/usr/bin/env bash
# Builds the libraries the Windows program links (Qt, ICU, libjpeg-turbo, lcms2, SQLite, dlib and
# GoogleTest) with MinGW-w64 from Debian's sources of the versions the Linux build uses, into a versioned
# folder outside the work tree. A folder that is complete is reused; a build that stopped goes on from
# the library it stopped at.
# Usage: tools/windows/build-sdk.sh            prints the SDK folder on its last line
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cache="${ZANFOLD_CACHE:-$HOME/.cache/zanfold}"
sources="$cache/windows-sources/src"
jobs="$(nproc)"

# Raised when the way the SDK is built changes, so an older folder is not taken for a current one.
recipe=1
upstream_of() {
    local version
    version="$(dpkg-query -W -f='${source:Version}' "$1")"
    version="${version#*:}"
    echo "${version%-*}"
}
qt="$(upstream_of qt6-base-dev)"
qt="${qt%+dfsg}"
icu="$(upstream_of libicu72)"
jpeg="$(upstream_of libjpeg62-turbo-dev)"
lcms="$(upstream_of liblcms2-dev)"
sqlite="$(upstream_of libsqlite3-0)"
dlib="$(upstream_of libdlib-dev)"
dlib="${dlib%+dfsg}"
gtest="$(upstream_of googletest)"
sdk="$cache/windows-sdk-qt$qt-icu$icu-jpeg$jpeg-lcms$lcms-sqlite$sqlite-dlib$dlib-gtest$gtest-r$recipe"
work="$cache/windows-build"

if [ -f "$sdk/.complete" ]; then
    echo "$sdk"
    exit 0
fi

"$here/fetch-sources.sh" "$cache/windows-sources" >&2
mkdir -p "$sdk" "$work"
export ZANFOLD_WINDOWS_SDK="$sdk"
toolchain="$here/mingw-w64.cmake"
host=x86_64-w64-mingw32
cross_env=(CC="$host-gcc-posix" CXX="$host-g++-posix" AR="$host-gcc-ar-posix" RANLIB="$host-gcc-ranlib-posix")

# Unpacks a source tarball into the work folder, unless a build that stopped left it there (its objects
# are then reused); prints the folder.
unpack() {
    local tarball="$1" folder
    folder="$(tar tf "$tarball" | head -1)"
    folder="${folder%%/*}"
    if [ ! -f "$work/$folder/.unpacked" ]; then
        rm -rf "${work:?}/$folder"
        tar xf "$tarball" -C "$work"
        touch "$work/$folder/.unpacked"
    fi
    echo "$work/$folder"
}

# Runs one library's build unless it finished before, and times it.
step() {
    local name="$1"
    shift
    [ -f "$sdk/.done-$name" ] && return 0
    echo "== $name" >&2
    local start=$SECONDS
    "$@" >&2
    echo "$((SECONDS - start))" > "$sdk/.done-$name"
    echo "== $name: $((SECONDS - start)) s" >&2
}

build_sqlite() {
    local src
    src="$(unpack "$sources/sqlite3_$sqlite.orig.tar.xz")"
    # The amalgamation is generated on the host, then compiled for Windows.
    (cd "$src" && ./configure -q > /dev/null && make -s sqlite3.c)
    mkdir -p "$sdk/include" "$sdk/lib"
    "$host-gcc-posix" -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_OMIT_LOAD_EXTENSION \
        -c "$src/sqlite3.c" -o "$src/sqlite3.o"
    "$host-gcc-ar-posix" rcs "$sdk/lib/libsqlite3.a" "$src/sqlite3.o"
    cp "$src/sqlite3.h" "$src/sqlite3ext.h" "$sdk/include/"
}

build_icu() {
    local src
    src="$(unpack "$sources/icu_$icu.orig.tar.gz")/source"
    # ICU's data tools have to run on the host, so a host build comes first.
    mkdir -p "$src/build-host" "$src/build-windows"
    (cd "$src/build-host" && ../configure -q --disable-tests --disable-samples --disable-extras > /dev/null &&
        make -s -j"$jobs")
    (cd "$src/build-windows" &&
        env "${cross_env[@]}" ../configure -q --host="$host" --with-cross-build="$src/build-host" \
            --prefix="$sdk" --disable-tests --disable-samples --disable-extras --disable-tools > /dev/null &&
        make -s -j"$jobs" && make -s install)
}

build_qt() {
    local src
    src="$(unpack "$sources/qt6-base_$qt+dfsg.orig.tar.xz")"
    # The windows platform plugin of this version asks for the DirectWrite font database whenever
    # DirectWrite 3 is there, but QtGui builds it only with Direct2D, which we leave out: the plugin then
    # keeps to its GDI font database, the default of this version anyway.
    sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
        "$src/src/plugins/platforms/windows/qwindowsintegration.cpp"
    # Only what the program uses: no network, D-Bus, printing, Direct2D or tablets (Debian's tarball leaves
    # out the tablet library). OpenGL stays on: Windows always has opengl32, and the windows platform
    # plugin of this version does not compile without it.
    cmake -S "$src" -B "$src/build" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$sdk" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DBUILD_SHARED_LIBS=ON \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_tabletevent=OFF \
        -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF -DFEATURE_sql_odbc=OFF -DFEATURE_sql_psql=OFF \
        -DFEATURE_sql_mysql=OFF -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=ON \
        -DSQLite3_INCLUDE_DIR="$sdk/include" -DSQLite3_LIBRARY="$sdk/lib/libsqlite3.a" \
        -DFEATURE_icu=ON -DICU_ROOT="$sdk" \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
    cmake --build "$src/build" --parallel "$jobs"
    cmake --install "$src/build"
}

build_jpeg() {
    local src
    src="$(unpack "$sources/libjpeg-turbo_$jpeg.orig.tar.gz")"
    cmake -S "$src" -B "$src/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$sdk" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
        -DCMAKE_ASM_NASM_COMPILER=nasm -DREQUIRE_SIMD=ON
    cmake --build "$src/build" --parallel "$jobs"
    cmake --install "$src/build"
}

build_lcms() {
    local src
    src="$(unpack "$sources/lcms2_$lcms.orig.tar.gz")"
    (cd "$src" && env "${cross_env[@]}" ./configure -q --host="$host" --prefix="$sdk" --enable-static \
        --disable-shared --without-jpeg --without-tiff --without-zlib > /dev/null &&
        make -s -j"$jobs" && make -s install)
}

build_dlib() {
    local src
    src="$(unpack "$sources/dlib_$dlib+dfsg.orig.tar.bz2")"
    cmake -S "$src/dlib" -B "$src/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$sdk" -DBUILD_SHARED_LIBS=OFF \
        -DDLIB_NO_GUI_SUPPORT=ON -DDLIB_USE_BLAS=OFF -DDLIB_USE_LAPACK=OFF -DDLIB_USE_CUDA=OFF \
        -DDLIB_JPEG_SUPPORT=OFF -DDLIB_PNG_SUPPORT=OFF -DDLIB_GIF_SUPPORT=OFF -DDLIB_WEBP_SUPPORT=OFF \
        -DDLIB_JXL_SUPPORT=OFF -DDLIB_LINK_WITH_SQLITE3=OFF -DDLIB_USE_FFTW=OFF -DDLIB_USE_MKL_FFT=OFF
    cmake --build "$src/build" --parallel "$jobs"
    cmake --install "$src/build"
}

build_gtest() {
    # Debian's googletest package carries its source.
    cmake -S /usr/src/googletest -B "$work/googletest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$sdk" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON
    cmake --build "$work/googletest" --parallel "$jobs"
    cmake --install "$work/googletest"
}

step sqlite build_sqlite
step icu build_icu
step qt build_qt
step jpeg build_jpeg
step lcms build_lcms
step dlib build_dlib
step gtest build_gtest

total=0
for stamp in "$sdk"/.done-*; do total=$((total + $(cat "$stamp"))); done
echo "$total" > "$sdk/.complete"
rm -rf "$work"
echo "Windows SDK built in $total s" >&2
echo "$sdk"
