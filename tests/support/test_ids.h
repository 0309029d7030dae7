// Dialog templates and control ids of the test-only resources.
#pragma once

#define IDD_TEST_FRAMEWORK         9001
#define IDD_TEST_SKIN              9002

#define IDC_TEST_PLAIN             101
#define IDC_TEST_OWNERDRAW         102
#define IDC_TEST_LIST              103
#define IDC_TEST_EDIT              104
#define IDC_TEST_STATIC            105
#define IDC_TEST_COMBO             106

// Dialog initialisation data that is cut short or not terminated
#define IDD_TEST_BAD_INIT          9003
#define IDD_TEST_UNTERMINATED_INIT 9004

// Skinned-control test dialog
#define IDC_SKIN_PUSH              201
#define IDC_SKIN_DISABLED          202
#define IDC_SKIN_RADIO_A           203
#define IDC_SKIN_RADIO_B           204
#define IDC_SKIN_RADIO_C           205
#define IDC_SKIN_RADIO_D           206
#define IDC_SKIN_RADIO_E           207
#define IDC_SKIN_CHECK             208
#define IDC_SKIN_MASKED            209
#define IDC_SKIN_LIST              210
#define IDC_SKIN_SMALL_LIST        211
#define IDC_SKIN_PROGRESS          220

// Test faces (solid colours) and masks
#define IDB_TEST_NORMAL            9101
#define IDB_TEST_DOWN              9102
#define IDB_TEST_OVER              9103
#define IDB_TEST_DISABLED          9104
#define IDB_TEST_FOCUS             9105
#define IDB_TEST_MASK_WHITE        9106
#define IDB_TEST_MASK_SHAPED       9107
#define IDB_TEST_TILE              9108
