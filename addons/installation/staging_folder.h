// A folder of the user's own for files on their way to a device. It is made new under
// the temporary path, with a name no earlier run used, and only this user (and the
// system) may write in it, whatever the temporary path is set to. It is held open for
// its life, so that nobody can rename it or put a junction in its place, and it is
// removed through that handle: never through a path that could lead elsewhere.
#pragma once

#include <windows.h>

#include <string>

class StagingFolder {
public:
    StagingFolder() = default;
    ~StagingFolder() { Remove(); }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // A new folder under GetTempPath's folder (an earlier one of this object is removed
    // first). False when none could be made.
    bool Create();
    // The same at path (no trailing backslash). False when anything is there already:
    // a folder someone else made first is never used.
    bool CreateAt(const std::string& path);
    // The folder with a trailing backslash; empty when there is none.
    const std::string& Path() const { return path_; }
    // Removes the folder when it is empty; whatever else is in it is not ours to delete.
    void Remove();

private:
    std::string path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The BitTorrent run's folder, the same for the installer window and kavronctl:
// InstallAddon makes it (and removes it again after a failed write); the caller
// removes it when the run ends, with or without a completed restart wait.
StagingFolder& BtStaging();
void RemoveBtStaging();
