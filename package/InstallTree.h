#pragma once
// The folders of one extraction below its install folder. Every folder an
// entry passes through is checked once to be a real folder, not a link or
// junction that a normal user planted (the install folder may lie in a
// folder such a user can write), and then held open without share-delete,
// so it cannot be swapped for a link while the extraction runs. The install
// folder itself is the user's choice and may be a link.
#include <map>
#include <string>

#include "app/Handles.h"

class InstallTree {
  public:
    enum class Check {
        kOk,
        kLink,    // a folder on the way, or the target file, is a link
        kFailed,  // a folder could not be created or opened
    };

    explicit InstallTree(std::wstring root) : root_(std::move(root)) {}
    InstallTree(const InstallTree&) = delete;
    InstallTree& operator=(const InstallTree&) = delete;

    const std::wstring& Root() const { return root_; }

    // Creates or checks every folder of `relative` (parts separated by "\",
    // already checked to stay inside) below the root.
    Check EnsureFolders(const std::wstring& relative) { return WalkFolders(relative, true); }
    // Checks the folders of the file's parent (a missing one fails: folders
    // come before their files in a payload), then the file's own name: an
    // existing link there is never written through or cleared. `attributes`
    // receives what the file's name holds now (INVALID_FILE_ATTRIBUTES: free).
    Check CheckFileTarget(const std::wstring& relative, DWORD& attributes);
    // Only the folders of the file's parent, as CheckFileTarget checks them:
    // enough before creating a new file, which never opens an existing name.
    Check CheckFileFolders(const std::wstring& relative);

  private:
    Check WalkFolders(const std::wstring& relative, bool create);
    Check CheckOneFolder(const std::wstring& path, bool create);

    std::wstring root_;
    std::map<std::wstring, UniqueFile> held_;  // checked folders, by full path
};
