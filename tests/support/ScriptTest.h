#pragma once
// A fixture that runs Lua snippets in the installer's own script state, with
// every host function registered, so tests drive host functions the way
// installer scripts do.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "script_api/LuaHeaders.h"

class ScriptTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a chunk; returns the error text, or "" when it ran.
    std::string Run(const std::string& code);
    // Evaluates one expression (`return <expr>`) and reads its first result.
    std::string Text(const std::string& expr);
    int64_t Int(const std::string& expr);
    bool Bool(const std::string& expr);
    // The Lua type name of the expression's first result.
    std::string Type(const std::string& expr);

    lua_State* L = nullptr;

  private:
    void Eval(const std::string& expr);
};

// Lua source text for a UTF-8 string literal (quotes and backslashes escaped).
std::string LuaQuote(const std::string& s);
