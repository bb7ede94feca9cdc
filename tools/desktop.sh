# shellcheck shell=bash
# The private desktop every Windows run here uses: the tests (cmake/wine-env.sh),
# the screenshot, the start-up benchmark and the demo. Sourced, not run:
#   . tools/desktop.sh
#   kolt_desktop_start DIR   an Xvfb display of its own (-displayfd picks a free
#                            number), openbox, and the Wine prefix below; exports
#                            DISPLAY and writes DIR/display, DIR/xvfb.pid, DIR/wm.pid
#   kolt_prefix DIR          only the prefix (for a display that is already there)
#   kolt_desktop_use DIR     the desktop another process started in DIR: exports
#                            DISPLAY and the prefix's Wine environment
#   kolt_desktop_serve [LOG] a persistent Wine server for the runs that follow;
#                            with LOG, one that writes every request to LOG
#                            (wineserver -d1), whole once it has ended
#   kolt_desktop_stop DIR    ends the Wine server, the window manager and Xvfb
# Settings, read when called:
#   KOLT_SCREEN     Xvfb screen (default 1280x1024x24)
#   KOLT_LOGPIXELS  the prefix's display scale in dots per inch (default 96);
#                   each value gets a prefix of its own, DIR/prefix-<dpi>,
#                   cloned from the 96-dpi one
#   KOLT_LOCALE     if set, LANG and LC_ALL (Wine takes the code page from it)
#   KOLT_WINEARCH   win32 (default) for the shipped 32-bit programs, win64 for
#                   the 64-bit build of the win64 preset (kolt_windows_preset)
#   KOLT_PRESET     the preset kolt_windows_preset answers (default: win32 where
#                   the machine starts 32-bit programs, win64 where it does not)
# The prefix is booted without Mono and Gecko (nothing needs them and there is
# no network to fetch them), shows no crash dialog, and draws the Japanese
# faces the program's dialogs ask for with IPA Gothic.

kolt_tools_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

kolt_runs_32bit() {  # whether this machine's kernel starts a 32-bit program
    /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

kolt_windows_preset() {  # the preset whose programs run here under Wine: KOLT_PRESET if set
    if [ -n "${KOLT_PRESET:-}" ]; then
        echo "$KOLT_PRESET"
    elif kolt_runs_32bit; then
        echo win32
    else
        echo win64
    fi
}

kolt_prefix_path() {  # DIR -> the prefix folder for KOLT_LOGPIXELS and KOLT_WINEARCH
    local dpi=${KOLT_LOGPIXELS:-96} name=prefix
    [ "${KOLT_WINEARCH:-win32}" = win32 ] || name=prefix64
    if [ "$dpi" = 96 ]; then echo "$1/$name"; else echo "$1/$name-$dpi"; fi
}

kolt_wine_env() {  # DIR: exports WINEARCH, WINEPREFIX (for KOLT_LOGPIXELS) and WINEDEBUG
    export WINEARCH=${KOLT_WINEARCH:-win32} WINEDEBUG=${WINEDEBUG:--all}
    if [ "$WINEARCH" = win64 ] && [[ :$PATH: != *":$kolt_tools_dir/wine64:"* ]]; then
        export PATH="$kolt_tools_dir/wine64:$PATH"
    fi
    export WINEPREFIX
    WINEPREFIX=$(kolt_prefix_path "$1")
}

# The mark of a prefix set up as below; a new name whenever the set-up changes,
# so that older prefixes are set up again.
kolt_prefix_mark=.kolt-prefix-ready

kolt_prefix() {
    local dir=$1 dpi=${KOLT_LOGPIXELS:-96} log
    mkdir -p "$dir"
    log="$dir/wineboot.log"
    kolt_wine_env "$dir"
    if [ -n "${KOLT_LOCALE:-}" ]; then export LANG=$KOLT_LOCALE LC_ALL=$KOLT_LOCALE; fi
    if [ ! -f "$WINEPREFIX/$kolt_prefix_mark" ]; then
        if [ "$dpi" != 96 ]; then
            # Start from the 96-dpi prefix rather than booting another.
            (KOLT_LOGPIXELS=96 kolt_prefix "$dir")
            rm -rf "$WINEPREFIX"
            cp -a "$(KOLT_LOGPIXELS=96 kolt_prefix_path "$dir")" "$WINEPREFIX"
            rm -f "$WINEPREFIX/$kolt_prefix_mark"
            wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >>"$log" 2>&1 </dev/null
        else
            mkdir -p "$WINEPREFIX"
            WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot.exe -i >"$log" 2>&1 </dev/null
            # Wine's crash dialog would wait for a click that never comes.
            wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$log" 2>&1 </dev/null
            local font
            for font in 'ＭＳ Ｐゴシック' 'ＭＳ ゴシック' 'MS UI Gothic' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Tahoma'; do
                wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d 'IPAPGothic' /f >>"$log" 2>&1 </dev/null
            done
        fi
        # End the services the set-up started: they learn the drives only when
        # they start, and a caller may still add one.
        wineserver -k >/dev/null 2>&1 </dev/null || true
        wineserver -w >/dev/null 2>&1 </dev/null || true
        touch "$WINEPREFIX/$kolt_prefix_mark"
    fi
}

kolt_desktop_stop() {
    local dir=$1 p
    if [ -f "$dir/display" ]; then
        (kolt_desktop_use "$dir" && wineserver -k 2>/dev/null) || true
    fi
    for p in wm xvfb; do
        if [ -f "$dir/$p.pid" ]; then
            kill "$(cat "$dir/$p.pid")" 2>/dev/null || true
            rm -f "$dir/$p.pid"
        fi
    done
    rm -f "$dir/display"
}

kolt_desktop_start() {
    local dir=$1
    mkdir -p "$dir"
    kolt_desktop_stop "$dir"
    # -displayfd writes the display number once the server is ready.
    rm -f "$dir/display.tmp"
    Xvfb -displayfd 3 -screen 0 "${KOLT_SCREEN:-1280x1024x24}" -nolisten tcp \
        3>"$dir/display.tmp" >"$dir/xvfb.log" 2>&1 </dev/null &
    echo $! >"$dir/xvfb.pid"
    local _
    for _ in $(seq 100); do [ -s "$dir/display.tmp" ] && break; sleep 0.1; done
    if [ ! -s "$dir/display.tmp" ]; then
        echo "Xvfb did not start" >&2
        cat "$dir/xvfb.log" >&2
        return 1
    fi
    tr -d '\n' <"$dir/display.tmp" >"$dir/display"
    DISPLAY=:$(cat "$dir/display")
    export DISPLAY
    # A window manager, so that windows get the focus as on a real desktop.
    openbox >"$dir/wm.log" 2>&1 </dev/null &
    echo $! >"$dir/wm.pid"
    kolt_prefix "$dir"
}

kolt_desktop_use() {
    [ -f "$1/display" ] || { echo "no desktop at $1: start it first (cmake/wine-env.sh start $1)" >&2; return 1; }
    export DISPLAY
    DISPLAY=:$(cat "$1/display")
    kolt_wine_env "$1"
}

kolt_desktop_serve() {
    # A persistent server keeps every run from paying for a new one; it must
    # not hold a caller's output pipe open.
    if [ -z "${1:-}" ]; then
        wineserver -p >/dev/null 2>&1 </dev/null
        return
    fi
    # In the foreground, so that its log (its standard error) goes to LOG; it
    # is there once it has made its socket, in a folder named after the
    # prefix's device and inode (Wine's /tmp/.wine-UID, or Debian's
    # /tmp/wine-XXXXXX).
    local device inode started _
    read -r device inode < <(stat -c '%d %i' "$WINEPREFIX")
    started=$(mktemp)  # older than the socket to come
    wineserver -f -p -d1 >/dev/null 2>"$1" </dev/null &
    for _ in $(seq 600); do
        if find /tmp -maxdepth 3 -type s -path "/tmp/*/server-$(printf '%x-%x' "$device" "$inode")/socket" \
            -newer "$started" 2>/dev/null | grep -q .; then
            rm -f "$started"
            return
        fi
        sleep 0.1
    done
    rm -f "$started"
    echo "the Wine server did not start (log: $1)" >&2
    return 1
}
