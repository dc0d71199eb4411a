// What the window tests share.
#pragma once

class wxWindow;

// Saves what `window` shows as screenshots/<name> beside the test run, for review.
void SaveScreenshot(wxWindow* window, const char* name);

// Forgets the model, the pages, the pending changes, the engine and the control
// registry, so that the next test builds its page from nothing.
void ResetPageSingletons();
