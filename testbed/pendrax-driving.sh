# Driving Pendrax on a started terminal, for the scripts that show it at work
# (testbed/pendrax-screens, testbed/demo.d/20-pendrax). Sourced, after setting
#   VT   testbed/vt
#   DIR  the started terminal
#   BIN  the folder of Pendrax.exe and vtool.exe at the terminal's width
#   OUT  the folder the screenshots go to
STATUS="Write Filter Device Control"
DRIVER_KEY='HKLM\System\CurrentControlSet\Services\pendrax'

filter() { "$VT" writefilter "$DIR" "$@" >/dev/null; }
driver_start() { "$VT" run "$DIR" reg add "$DRIVER_KEY" /v Start /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
# Pendrax in the background; its vt run ends with it (wait "$PANEL").
pendrax() { "$VT" run "$DIR" "$BIN/Pendrax.exe" "$@" >/dev/null 2>&1 & PANEL=$!; }
# shot TITLE NAME [SETTLE]: waits for the window to show and to settle
# (SETTLE seconds, 1 unless given), then takes it with its frame as
# $OUT/NAME.png.
shot() {
    "$VT" run "$DIR" "$BIN/vtool.exe" window "$1" 30 >/dev/null 2>&1
    sleep "${3:-1}"
    "$VT" shot "$DIR" "$OUT/$2.png" "$1"
}
press() { "$VT" press "$DIR" "$1" "$2"; }
# A refresh comes every 3 seconds.
next_tick() { sleep 3.5; }
