// The application object: prepares the platform and the device protocol, then runs
// the main window; the program ends when the main window does.
#pragma once
#include "framework/application.h"

class UtilityApp : public Application {
public:
    bool InitInstance() override;
};
