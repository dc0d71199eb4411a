// What the window tests share.
#pragma once

class wxWindow;

// Saves what `window` shows as screenshots/<name> beside the test run, for review.
void SaveScreenshot(wxWindow* window, const char* name);
