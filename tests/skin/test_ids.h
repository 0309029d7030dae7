// Dialog templates and control ids of the test-only resources.
#pragma once

#define IDD_TEST_FRAMEWORK   9001
#define IDD_TEST_SKIN        9002

#define IDC_TEST_PLAIN       101
#define IDC_TEST_OWNERDRAW   102
#define IDC_TEST_LIST        103
#define IDC_TEST_EDIT        104
#define IDC_TEST_STATIC      105
