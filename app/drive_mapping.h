// The utility's calls for drive mapping (app/mapping/volume_connection.h): the
// system's, with the login dialog as the share user's prompt, behind one seam; and the
// same with each networking call a step of the main window's flow.
#pragma once

#include <windows.h>

#include <string>

#include "app/mapping/volume_connection.h"

// The utility's mapping calls. The program uses the system's with the login dialog;
// tests play a network provider, a Windows version, the device's domain and a user.
MappingSystem SetMappingSystem(const MappingSystem& system);  // returns the previous ones
const MappingSystem& MappingCalls();

// Empties the share credentials and switches the login dialog to the share user.
void PrepareMapping();

// MappingCalls with each networking call and the domain query run off owner's thread
// (framework/busy.h), the login dialog staying on it between them. A failed try's
// reason (DescribeMappingError) is read in the same step, into *reason, which must
// outlive the calls.
MappingSystem MappingStepsOf(HWND owner, std::string* reason);
