// Opening a device's web pages: a worker thread checks that the device can be
// reached while the window waits at most about two seconds for its verdict; then the
// machine's default browser, as registered, is started on http://ADDRESS, or
// https://ADDRESS when the device reports SSL. The messages and refreshes when the
// device is gone are the caller's.
#pragma once

#include <windows.h>

#include <string>

// The calls the launcher makes. The program uses the real ones; tests play a device
// that answers at once, late or never, and a system that runs or refuses commands.
struct WebLauncherSystem {
    BOOL (*checkConnection)(const char* url, DWORD flags, DWORD reserved);  // on the worker thread
    UINT (*run)(const char* commandLine, UINT show);
    void (*sleep)(DWORD ms);
};
WebLauncherSystem SetWebLauncherSystem(const WebLauncherSystem& system);  // returns the previous one

// The text of a registry value (nullptr or "": the key's default value), or "" when
// the key or value is missing or does not fit 120 bytes.
std::string ReadRegistryText(HKEY root, const char* path, const char* valueName);

// Starts a worker that checks whether url can be reached. A new check makes every
// earlier one's verdict void, so a late answer never counts for the next launch.
void StartReachabilityCheck(const std::string& url);
// Looks at the verdict of the last check at about 0, 1 and 2 seconds: true (and
// the verdict is used up) when the device was reachable; false when it was not or
// no verdict came.
bool PollReachability();

// The command line that opens url in the registered default browser: through
// explorer (the Windows folder's, by its full path) when its name contains "IE", else
// its registered command and the url.
std::string BrowserCommandLine(const std::string& url);
// Runs it hidden; when the browser's program cannot be found or run, explorer opens
// the url instead.
void OpenInBrowser(const std::string& url);
