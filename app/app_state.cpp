#include "app_state.h"

char selectedHost[16];
int shownPortIndex;
int adminLoginMode;
