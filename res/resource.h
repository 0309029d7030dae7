// Resource numbers of the utility. The numbers are fixed: the pictures, dialogs and
// controls are referred to by them throughout the program and its tests.
#pragma once

// Icon
#define IDI_APP                      128

// Dialog templates
#define IDD_MAIN                     102
#define IDD_LOGIN                    134
#define IDD_LANGUAGE                 139
#define IDD_RESTART_PROGRESS         141
#define IDD_ADDON_INSTALLER          180
#define IDD_DRIVE_IN_USE             229
#define IDD_WIDGET_ENGINE_PROMPT     264
#define IDD_WIDGET_MODEL             265
#define IDD_ABOUT                    308

// Main window controls
#define IDC_DEVICE_LIST              1000
#define IDC_VOLUME_LIST              1001
#define IDC_REFRESH                  1002
#define IDC_CONNECT                  1003
#define IDC_DISCONNECT               1004
#define IDC_IP_ADDRESS               1006
#define IDC_APPLY                    1007
#define IDC_CONFIGURATION            1008
#define IDC_EXIT                     1009
#define IDC_NETMASK                  1010
#define IDC_GATEWAY                  1011
#define IDC_DRIVE_LETTERS            1013
#define IDC_RECEIVE_DHCP             1015
#define IDC_LAN_PORT                 1016
#define IDC_ABOUT                    1021
#define IDC_LANGUAGE                 1022
#define IDC_BITTORRENT               1025
#define IDC_MINIMIZE                 1027
#define IDC_CLOSE                    1028
#define IDC_WIDGET                   1032

// Controls of the small dialogs
#define IDC_LOGIN_USER_NAME          1016
#define IDC_LOGIN_PASSWORD           1017
#define IDC_LANGUAGE_CHOICE          1022
#define IDC_RESTART_PROGRESS         1023
#define IDC_MODEL_ZKM110             1029
#define IDC_MODEL_ZKM120             1030
#define IDC_MODEL_ZKM140             1031

// Window backgrounds
#define IDB_MAIN_BACKGROUND          267  // 430 x 574
#define IDB_ABOUT_BACKGROUND         268
#define IDB_WIDGET_PROMPT_BACKGROUND 269
#define IDB_DRIVE_IN_USE_BACKGROUND  270
#define IDB_RESTART_BACKGROUND       271
#define IDB_LOGIN_BACKGROUND         272  // 308 x 147
#define IDB_LANGUAGE_BACKGROUND      273  // also the add-on installer's
#define IDB_WIDGET_MODEL_BACKGROUND  274

// Button faces: normal, then pressed/hover
#define IDB_CLOSE                    262
#define IDB_CLOSE_DOWN               378
#define IDB_MINIMIZE                 263
#define IDB_MINIMIZE_DOWN            379
#define IDB_REFRESH                  284
#define IDB_REFRESH_DOWN             285
#define IDB_CONFIGURATION            286
#define IDB_CONFIGURATION_DOWN       287
#define IDB_LANGUAGE                 288
#define IDB_LANGUAGE_DOWN            289
#define IDB_BITTORRENT               290
#define IDB_BITTORRENT_DOWN          291
#define IDB_APPLY                    294
#define IDB_APPLY_DOWN               295
#define IDB_CONNECT                  296
#define IDB_CONNECT_DOWN             297
#define IDB_DISCONNECT               298
#define IDB_DISCONNECT_DOWN          299
#define IDB_ABOUT                    300
#define IDB_ABOUT_DOWN               301
#define IDB_EXIT                     302
#define IDB_EXIT_DOWN                303
#define IDB_CANCEL                   304
#define IDB_CANCEL_DOWN              305
#define IDB_OK                       306
#define IDB_OK_DOWN                  307
#define IDB_ABOUT_OK                 386  // the About box's larger OK
#define IDB_ABOUT_OK_DOWN            387
#define IDB_DOWNLOAD                 280
#define IDB_DOWNLOAD_DOWN            281
#define IDB_NEXT                     282
#define IDB_NEXT_DOWN                283

// List header
#define IDB_HEADER_BACKGROUND        374  // 1 x 17
#define IDB_HEADER_SEPARATOR         240  // 12 x 17

// Horizontal list scroll bar (light grey set: the list cannot scroll)
#define IDB_HSCROLL_RIGHT            231  // 16 x 14
#define IDB_HSCROLL_TRACK            232  // 2 x 14
#define IDB_HSCROLL_LEFT             233  // 16 x 14
#define IDB_HSCROLL_THUMB            243  // 26 x 14
#define IDB_HSCROLL_LEFT_GREY        380  // 16 x 14
#define IDB_HSCROLL_RIGHT_GREY       381  // 16 x 14
#define IDB_HSCROLL_TRACK_GREY       382  // 1 x 14

// Vertical list scroll bar (light grey set: the list cannot scroll)
#define IDB_VSCROLL_UP               234  // 14 x 18
#define IDB_VSCROLL_TRACK            235  // 18 x 1
#define IDB_VSCROLL_THUMB            236  // 14 x 26
#define IDB_VSCROLL_DOWN             237  // 14 x 18
#define IDB_VSCROLL_UP_GREY          383  // 14 x 18
#define IDB_VSCROLL_TRACK_GREY       384  // 18 x 1
#define IDB_VSCROLL_DOWN_GREY        385  // 14 x 18
