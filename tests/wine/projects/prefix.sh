# Sourced by the Wine cases of this folder, with $source, $work and $prefix
# set. Gives wine and wineserver, poll, and use_drive_d, which points D: of
# the prefix at a folder and makes ".pdf" open in a stand-in viewer that
# notes each file it is handed in $work/opened.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# poll TRIES COMMAND...: COMMAND every 0.1 s until it succeeds.
poll() {
    tries=$1
    shift
    while [ "$tries" -gt 0 ]; do
        "$@" && return 0
        tries=$((tries - 1))
        sleep 0.1
    done
    return 1
}

# use_drive_d FOLDER TYPE: TYPE is cdrom or hd. Wine's mount manager reads
# the drive types when it starts, so the prefix is ended once they are set.
use_drive_d() {
    if [ ! -f "$prefix/system.reg" ]; then
        "$wine" wineboot -i > /dev/null 2>&1 || true
        "$wineserver" -w
    fi
    ln -sfn "$1" "$prefix/dosdevices/d:"
    "$wine" reg add 'HKLM\Software\Wine\Drives' /v d: /d "$2" /f > /dev/null
    cat > "$work/viewer" <<VIEWER
#!/bin/sh
printf '%s\n' "\$1" >> "$work/opened"
VIEWER
    chmod +x "$work/viewer"
    "$wine" reg add 'HKCR\.pdf' /ve /d VelmoraProjects.Document /f > /dev/null
    "$wine" reg add 'HKCR\VelmoraProjects.Document\shell\open\command' /ve \
        /d 'C:\windows\system32\winebrowser.exe "%1"' /f > /dev/null
    "$wine" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$work/viewer" /f > /dev/null
    "$wineserver" -w
}
opened() { [ -s "$work/opened" ]; }

# titled TITLE: the id of the visible window of autorun.exe whose title, as
# the X server holds it in UTF-8, is TITLE. (xdotool's --name matches the
# Latin-1 name, where "Über" is "Uber", outside a UTF-8 locale.)
titled() {
    for id in $(xdotool search --onlyvisible --classname 'autorun\.exe' 2>/dev/null); do
        name=$(xprop -id "$id" _NET_WM_NAME 2>/dev/null |
            sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p' | sed 's/%/%%/g')
        # xprop writes each byte beyond ASCII as an octal escape.
        # shellcheck disable=SC2059
        if [ "$(printf "$name")" = "$1" ]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
