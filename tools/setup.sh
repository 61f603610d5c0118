# Shared set-up of test.sh and run.sh: packages, build and Wine prefix.
# Sourced, not run. Every step skips what is already in place.

VORN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${VORN_BUILD:-$VORN_ROOT/build}
export WINEPREFIX="$BUILD/wineprefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;winemenubuilder.exe=d"
# i686: the programs as they ship. x86_64: the same sources built for 64-bit
# Windows, for machines whose kernel runs no 32-bit code (IA-32 emulation off),
# where Wine's 32-bit loader cannot start. Chosen by choose_arch unless set.
VORN_ARCH=${VORN_ARCH:-}

VORN_PACKAGES=(
    make cmake googletest python3 g++
    mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine wine32:i386 wine64 fonts-wine fonts-wqy-zenhei
    xvfb xauth xdotool imagemagick x11-utils nsis
    xserver-xephyr libxinerama1 libxrandr2 libxinerama1:i386 libxrandr2:i386
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

step() { printf '== %s\n' "$*"; }

ensure_packages() {
    local missing=() p
    local need_arch=0
    dpkg --print-foreign-architectures | grep -qx i386 || need_arch=1
    for p in "${VORN_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    if [ "$need_arch" -eq 0 ] && [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    step "installing ${missing[*]}"
    [ "$need_arch" -eq 1 ] && as_root dpkg --add-architecture i386
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq || true
    apt_install "${missing[@]}" && return 0
    # A mirror caught mid-sync can leave the i386 lists behind the amd64 ones,
    # and then no i386 package installs. The 64-bit build needs none of them:
    # install the rest, and the 32-bit loader's absence selects that build.
    local native=()
    for p in "${missing[@]}"; do
        [[ $p == *:i386 ]] || native+=("$p")
    done
    step "the i386 packages cannot be installed now: installing the others"
    [ ${#native[@]} -eq 0 ] || apt_install "${native[@]}"
}

apt_install() {
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

# True when the processor runs 32-bit programs itself: a machine that runs them
# only through an emulator registered for them is far too slow for Wine.
runs_32bit_natively() {
    local entry
    for entry in /proc/sys/fs/binfmt_misc/*; do
        [ -f "$entry" ] && grep -qx enabled "$entry" 2>/dev/null &&
            grep -q '^magic 7f454c46010101000000000000000000020003' "$entry" && return 1
    done
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Picks the build for this machine and points "wine" at the matching loader.
choose_arch() {
    if [ -z "$VORN_ARCH" ]; then
        if runs_32bit_natively; then
            VORN_ARCH=i686
        else
            VORN_ARCH=x86_64
            step "this machine runs no 32-bit code: building and testing the 64-bit build"
        fi
    fi
    local cache="$BUILD/CMakeCache.txt"
    if [ -f "$cache" ] && ! grep -q "mingw-$VORN_ARCH.cmake" "$cache"; then
        step "$BUILD holds another architecture's build: starting it again"
        wineserver -k </dev/null >/dev/null 2>&1 || true
        rm -rf "$BUILD"
    fi
    if [ "$VORN_ARCH" = x86_64 ]; then
        export WINEARCH=win64
        # Debian's "wine" starts the 32-bit loader whenever it is installed.
        mkdir -p "$BUILD/wine-bin"
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$BUILD/wine-bin/wine"
        chmod +x "$BUILD/wine-bin/wine"
        export PATH="$BUILD/wine-bin:$PATH"
    fi
}

# How many compilers run at once: VORN_JOBS when set (a busy or small machine),
# else one per processor.
build_jobs() { echo "${VORN_JOBS:-$(nproc)}"; }

build_all() {
    choose_arch
    local cache="$BUILD/CMakeCache.txt"
    if [ ! -f "$cache" ]; then
        step "configuring $BUILD ($VORN_ARCH)"
        cmake -S "$VORN_ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$VORN_ROOT/cmake/mingw-$VORN_ARCH.cmake" \
            -DCMAKE_BUILD_TYPE=Release >/dev/null
    fi
    step "building"
    cmake --build "$BUILD" -j "$(build_jobs)" -- --no-print-directory
    if [ "$VORN_ARCH" = x86_64 ]; then
        # The programs as they ship are built all the same, so the 32-bit build
        # never breaks unseen.
        step "building the 32-bit programs"
        [ -f "$BUILD/i686/CMakeCache.txt" ] ||
            cmake -S "$VORN_ROOT" -B "$BUILD/i686" -DCMAKE_TOOLCHAIN_FILE="$VORN_ROOT/cmake/mingw-i686.cmake" \
                -DCMAKE_BUILD_TYPE=Release >/dev/null
        cmake --build "$BUILD/i686" -j "$(build_jobs)" --target vorn Uninstall -- --no-print-directory
    fi
}

# A 32-bit prefix inside the build folder, made once: no crash dialogs, Chinese
# fonts, and user folders that are real folders inside the prefix (a fresh prefix
# links the desktop and documents to the Unix home). Windows are not handed to a
# window manager (there is none under Xvfb, and waiting for one costs seconds).
VORN_PREFIX_VERSION=4
ensure_wine_prefix() {
    local stamp="$WINEPREFIX/.vorn-ready"
    [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$VORN_PREFIX_VERSION" ] && return 0
    step "preparing Wine prefix $WINEPREFIX"
    (
        unset DISPLAY
        # A server left running for this prefix (persistent) would make the waits below endless.
        wineserver -k </dev/null >/dev/null 2>&1
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d" wine wineboot -i </dev/null >/dev/null 2>&1
            wineserver -w
        fi
        wine_reg() { LANG=C.UTF-8 wine reg add "$@" /f </dev/null >/dev/null 2>&1; }
        wine_reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
        wine_reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
        local link
        find "$WINEPREFIX/drive_c/users" -type l -print0 | while IFS= read -r -d '' link; do
            rm "$link" && mkdir -p "$link"
        done
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
        local face
        for face in 宋体 SimSun 新宋体 NSimSun 微软雅黑 "Microsoft YaHei"; do
            wine_reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
                /v "$face" /t REG_SZ /d "WenQuanYi Zen Hei"
        done
        # System dialogs and captions (Tahoma and the shell dialog fonts) fall back
        # to the Chinese font for characters they lack.
        for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
            wine_reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
                /v "$face" /t REG_MULTI_SZ /d "wqy-zenhei.ttc,WenQuanYi Zen Hei"
        done
        wineserver -w
    ) || return 1
    echo "$VORN_PREFIX_VERSION" >"$stamp"
}
