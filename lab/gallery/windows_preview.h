// The gallery's window preview: every window of the skin table with its pictures,
// painted by the utility's own skinned dialog code (res/pictures/wine-preview.sh
// takes its screenshots).
#pragma once

// Shows every window side by side for ten seconds (only: that template's window
// alone, when not 0); `pressed` shows the buttons' pressed faces. Returns the exit code.
int ShowWindowsPreview(bool pressed, int only = 0);

// Writes <background>-on-<dialog>.bmp into the current directory: each stretched
// background as its window's client area shows it. Returns the number of failures.
int DumpWindowBackgrounds();
