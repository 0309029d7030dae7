// Process-wide state the main window shares with the dialogs and add-ons.
#pragma once

// Dotted address text of the device last clicked in the device list; paths and URLs
// for the device are built from it.
extern char selectedHost[16];
// Index of the LAN port whose settings the LAN panel shows (two-port devices).
extern int shownPortIndex;
// 1: the login dialog asks for the administrator password; 0: for a share user.
extern int adminLoginMode;
