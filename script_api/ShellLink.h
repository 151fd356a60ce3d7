#pragma once
// Shell link (".lnk") files pointing at the installed program.
#include <string>

// The shortcut file of a display name in a folder: folder\name.lnk.
std::wstring ShortcutFile(const std::wstring& folder, const std::wstring& name);

// Writes folder\name.lnk pointing at `target` (environment variables in the
// target and the link path are expanded), with `arguments` when not empty
// and the target's folder as working folder. The folder is created with its
// parents when missing. Failures are silent; no icon, description or
// application id is stored.
void CreateShortcut(const std::wstring& target, const std::wstring& folder,
                    const std::wstring& name, const std::wstring& arguments);

// The user's Quick Launch folder (application data folder +
// "\Microsoft\Internet Explorer\Quick Launch"); empty when the application
// data folder cannot be found.
std::wstring GetQuickLaunchDir();
