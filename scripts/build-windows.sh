#!/usr/bin/env bash
# Cross-builds the Windows program with MinGW-w64 against the Qt for Windows
# in ../shared/winqt, lays it out as it is installed in the host product's
# folder (the layout windeployqt makes) and zips it:
#
#   dist/BootableMediaCreator-win64/        the unpacked package
#   dist/BootableMediaCreator-win64.zip     the same, zipped
#
# Installs the Debian packages it needs when they are missing (as root).
# BMC_WINQT_ARCHIVE names another qt5-mingw64.tar.xz.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work="$repo/build-windows"
build_dir="$work/build"
package="$repo/dist/BootableMediaCreator-win64"
zip_file="$repo/dist/BootableMediaCreator-win64.zip"
triple=x86_64-w64-mingw32

log() { printf '[build-windows] %s\n' "$*"; }

# --- packages ---------------------------------------------------------------
packages=(cmake make g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
    qttools5-dev-tools qttranslations5-l10n xz-utils zip)
bash "$repo/scripts/install-deps.sh" "${packages[@]}"

# --- Qt for Windows -------------------------------------------------------------
# The shared folder sits beside the checkout (../shared), wherever that is.
archive=${BMC_WINQT_ARCHIVE:-$repo/../shared/winqt/qt5-mingw64.tar.xz}
if [ ! -f "$archive" ]; then
    echo "Qt for Windows not found: $archive (set BMC_WINQT_ARCHIVE)" >&2
    exit 1
fi
qt="$work/qt5-mingw64"
stamp="$work/qt5-mingw64.stamp"
archive_id="$(cd "$(dirname "$archive")" && pwd)/$(basename "$archive") $(stat -c '%s %Y' "$archive")"
if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$archive_id" ]; then
    log "unpacking $archive"
    rm -rf "$qt" "$stamp"
    mkdir -p "$work"
    tar -C "$work" -xJf "$archive"
    echo "$archive_id" >"$stamp"
fi

# --- build ----------------------------------------------------------------------
lrelease_dir=/usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools
log "configuring $build_dir"
cmake -S "$repo" -B "$build_dir" \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw-w64.cmake" \
    -DCMAKE_PREFIX_PATH="$qt" \
    -DCMAKE_BUILD_TYPE=Release \
    -DBMC_MINGW_SHARED_RUNTIME=ON \
    -DBMC_BUILD_TESTS=OFF -DBMC_BUILD_BENCH=OFF \
    -DQt5LinguistTools_DIR="$lrelease_dir" \
    -DBMC_QT_TRANSLATIONS_DIR=/usr/share/qt5/translations >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log"; exit 1; }
log "building"
cmake --build "$build_dir" -j2 --target BootableMediaCreator bmc_translations

# --- package --------------------------------------------------------------------
# What windeployqt would lay out: the program, the Qt DLLs it links, the
# platform, style and image plugins it loads, the compiler's runtime DLLs and
# the translations.
log "laying out $package"
rm -rf "$package" "$zip_file"
mkdir -p "$package"/{platforms,styles,imageformats}
bin="$build_dir/bin"
"$triple-strip" -o "$package/BootableMediaCreator.exe" "$bin/BootableMediaCreator.exe"
cp "$qt/plugins/platforms/qwindows.dll" "$package/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$package/styles/"
# The busy animation is a gif, the window icon an .ico; no other formats.
cp "$qt/plugins/imageformats/qgif.dll" "$qt/plugins/imageformats/qico.dll" "$package/imageformats/"
cp -r "$bin/BootableTranslation" "$package/"

# The DLLs that anything in the package imports and that Windows does not
# have: Qt's from its bin/, the runtime's from the compiler's folder. Followed
# until nothing new is needed.
gcc_dir=$(dirname "$("$triple-g++" -print-libgcc-file-name)")
runtime_dirs=("$qt/bin" "$gcc_dir" "/usr/$triple/lib")
imports() { "$triple-objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
while :; do
    added=0
    while IFS= read -r -d '' module; do
        while IFS= read -r dll; do
            [ -e "$package/$dll" ] && continue
            for dir in "${runtime_dirs[@]}"; do
                if [ -f "$dir/$dll" ]; then
                    cp "$dir/$dll" "$package/$dll"
                    added=1
                    break
                fi
            done
        done < <(imports "$module")
    done < <(find "$package" \( -name '*.exe' -o -name '*.dll' \) -print0)
    [ "$added" -eq 0 ] && break
done
for dll in Qt5Core.dll Qt5Gui.dll Qt5Widgets.dll Qt5Network.dll libstdc++-6.dll libgcc_s_seh-1.dll; do
    [ -f "$package/$dll" ] || { echo "package lacks $dll" >&2; exit 1; }
done
# The runtime DLLs carry debug information with the build machine's paths.
for dll in "$package"/lib*.dll; do
    "$triple-strip" --strip-debug "$dll"
done

# A GUI program (no console window) that asks for no elevation.
exe="$package/BootableMediaCreator.exe"
headers=$("$triple-objdump" -p "$exe")
grep -q 'Subsystem.*Windows GUI' <<<"$headers" ||
    { echo "BootableMediaCreator.exe is not a GUI program" >&2; exit 1; }
grep -qa 'level="asInvoker"' "$exe" ||
    { echo "BootableMediaCreator.exe has no asInvoker manifest" >&2; exit 1; }

# The package must run from wherever it is unpacked.
if grep -rlaE '/(usr|opt|home|work|tmp|build)/[A-Za-z0-9_.-]+/' "$package" >"$work/linux-paths.txt"; then
    echo "the package refers to Linux paths:" >&2
    cat "$work/linux-paths.txt" >&2
    exit 1
fi

(cd "$package" && zip -qr "$zip_file" .)
log "$(find "$package" -type f | wc -l) files, $(du -sh "$zip_file" | cut -f1): $zip_file"
