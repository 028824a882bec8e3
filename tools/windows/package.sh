#!/usr/bin/env bash
# Makes the Windows distribution of a cross-build: a portable folder and its zip, and the installer.
# The DLLs are found by walking the imports of the executables and plugins, so a new dependency cannot be
# left out.
# Usage: tools/windows/package.sh BUILD_DIR SDK_DIR DIST_DIR VERSION
set -euo pipefail

build="$1"
sdk="$2"
dist="$3"
version="$4"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
host=x86_64-w64-mingw32
name="Zanfold-$version-windows-x64"
stage="$dist/$name"

# Where a DLL may come from: the SDK, then MinGW's runtime.
search=("$sdk/bin" "/usr/lib/gcc/$host/12-posix" "/usr/$host/lib")
# Shipped with Windows itself: never copied.
is_system() {
    case "${1,,}" in
    api-ms-win-* | ext-ms-* | kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | ole32.dll | \
        oleaut32.dll | comdlg32.dll | comctl32.dll | imm32.dll | winmm.dll | ws2_32.dll | version.dll | \
        netapi32.dll | userenv.dll | uxtheme.dll | dwmapi.dll | shlwapi.dll | msvcrt.dll | mpr.dll | \
        opengl32.dll | setupapi.dll | wtsapi32.dll | d3d11.dll | dxgi.dll | d3d9.dll | d3d12.dll | \
        dwrite.dll | d2d1.dll | authz.dll | shcore.dll | crypt32.dll | bcrypt.dll | secur32.dll | \
        iphlpapi.dll | dnsapi.dll | winspool.drv | ntdll.dll | rpcrt4.dll | cfgmgr32.dll | hid.dll | \
        usp10.dll | msimg32.dll | propsys.dll | dcomp.dll | wininet.dll)
        return 0
        ;;
    esac
    return 1
}

rm -rf "$stage"
mkdir -p "$stage/plugins/platforms" "$stage/plugins/styles" "$stage/plugins/imageformats" \
    "$stage/plugins/sqldrivers" "$stage/translations"
cp "$build/src/app/zanfold.exe" "$build/src/cli/zanfold-cli.exe" "$stage/"
cp "$sdk/plugins/platforms/qwindows.dll" "$stage/plugins/platforms/"
cp "$sdk/plugins/styles/"*.dll "$stage/plugins/styles/"
cp "$sdk/plugins/imageformats/"q{gif,ico,jpeg}.dll "$stage/plugins/imageformats/"
cp "$sdk/plugins/sqldrivers/qsqlite.dll" "$stage/plugins/sqldrivers/"
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$stage/translations/"
# Qt finds its plugins and translations beside the program.
printf '[Paths]\r\nPrefix = .\r\nPlugins = plugins\r\nTranslations = translations\r\n' > "$stage/qt.conf"

# Every DLL imported by what is in the folder, and by those in turn.
declare -A seen=()
queue=("$stage"/*.exe "$stage"/plugins/*/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
    file="${queue[0]}"
    queue=("${queue[@]:1}")
    while read -r dll; do
        key="${dll,,}"
        [ -n "${seen[$key]:-}" ] && continue
        seen[$key]=1
        is_system "$dll" && continue
        found=""
        for dir in "${search[@]}"; do
            if [ -f "$dir/$dll" ]; then
                found="$dir/$dll"
                break
            fi
        done
        if [ -z "$found" ]; then
            echo "$(basename "$file") needs $dll, which is neither in the SDK nor part of Windows" >&2
            exit 1
        fi
        cp "$found" "$stage/"
        queue+=("$stage/$dll")
    done < <("$host-objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
done
# Without the debugging information the linker kept: a tenth of the size.
for file in "$stage"/*.exe "$stage"/*.dll "$stage"/plugins/*/*.dll; do
    "$host-strip" --strip-debug "$file"
done

# The README in Chinese, with Windows line ends.
sed 's/$/\r/' "$here/README-windows.txt" | sed "s/@VERSION@/$version/g" > "$stage/README.txt"

rm -f "$dist/$name.zip"
(cd "$dist" && zip -qr "$name.zip" "$name")

makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DICON="$build/src/app/zanfold.ico" \
    -DOUTFILE="$dist/Zanfold-$version-setup.exe" "$here/installer.nsi"
echo "$dist/$name.zip"
echo "$dist/Zanfold-$version-setup.exe"
