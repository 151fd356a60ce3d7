#pragma once
// The hidden window through which tasks reach the UI thread.
#include <windows.h>

// Creates the task window once per process (later calls reuse it); returns
// it, or null when it could not be created.
HWND CreateTaskWindow();
// The task window, or null before start-up made it.
HWND TaskWindow();
// Runs tasks only on windows that carry the "obj" property.
LRESULT CALLBACK TaskWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
