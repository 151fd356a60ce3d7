#pragma once
// Setup windows driven the way installer scripts drive them: a skin package
// made in memory, the script state with every host function, and a few test
// functions the scripts call to act as the user would (clicks posted to the
// window on top) and to look at what the user would see.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/ScriptTest.h"
#include "ui/TestSkin.h"

// Every message a SpyControl received, as "id:message" in order.
std::vector<std::string>& SpyLog();
int SpyCount(const std::string& id, UINT msg);
// Layout calls of SpyControls, by id.
int SpyLayouts(const std::string& id);

class SetupWindowTest : public ScriptTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The skin the windows load: xml\main.xml and xml\msgbox.xml.
    std::unique_ptr<TestSkin> skin_;
};

// The visible, enabled host window of this thread on top of the others (a
// message box over its disabled owner), or null.
HWND TopHostWindow();
