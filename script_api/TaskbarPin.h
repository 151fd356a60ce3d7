#pragma once
// Pinning shortcuts to the taskbar and running shell verbs on files.
#include <windows.h>

#include <string>

// Which way a pin request went and where it ended, for diagnostics and tests.
enum class PinRoute {
    ShellVerb,    // Windows below 10: the pin/unpin verb of the file's context menu
    TaskbandPin,  // Windows 10 and later: the taskbar's pinned-list object
};

enum class PinStep {
    NoFile,          // verb route: the file is missing, nothing to do (success)
    NoVerbText,      // verb route: the shell has no text for the verb
    NoDesktopShell,  // verb route: the desktop shell's folder view is unreachable
    NoShellItem,     // verb route: the shell cannot list the file's verbs
    NoMatchingVerb,  // verb route: the file's menu has no such verb
    VerbInvoked,     // verb route: the verb ran
    NoItemList,      // pin object route: the file has no shell item (missing file)
    NoPinObject,     // pin object route: the system has no taskbar pin object
    AlreadyDone,     // pin object route: already pinned / not pinned; unchanged
    Modified,        // pin object route: pinned or unpinned
};

struct PinTrace {
    PinRoute route = PinRoute::TaskbandPin;
    PinStep step = PinStep::NoFile;
};

const char* PinRouteName(PinRoute route);
const char* PinStepName(PinStep step);

// The route SetTaskbarPin takes on this system (by the Windows major version).
PinRoute TaskbarPinRoute();

// Pins (or unpins) a shortcut file to the taskbar. An unpin deletes the
// shortcut file after a verb that ran or after the pinned-list object was
// reached. The verb route returns the verb's result; the pin object route
// always returns true.
bool SetTaskbarPin(bool pin, const std::wstring& shortcutFile, PinTrace* trace = nullptr);

// Runs the context-menu verb whose display text is shell32.dll's string
// `verbStringId` on `file`, inside the desktop shell's process. True when
// the verb ran or the file does not exist.
bool InvokeShellVerb(UINT verbStringId, const std::wstring& file, PinStep* step = nullptr);
