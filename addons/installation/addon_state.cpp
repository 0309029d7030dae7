#include "addons/installation/addon_state.h"

std::atomic<int> restartState{0};
int chosenCodepageIndex;
int extendedCodepages;
bool installFailed;
int btInstalled;
