#pragma once
// Compiles an installer script with the installer's own Lua, without running
// it, so that a script that would not load fails the build instead of
// leaving an installer that silently does nothing.
#include <filesystem>
#include <string>

class ScriptChecker {
  public:
    // True when the file compiles. Otherwise false with `message` as
    // "FILE:LINE: what the compiler says" (or "FILE: why it cannot be read").
    static bool Check(const std::filesystem::path& file, std::string& message);
    // The same for a script already in memory, reported under `name`.
    static bool CheckText(const std::string& text, const std::string& name, std::string& message);
};
