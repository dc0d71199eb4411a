// Installs the message dialog as the program's ShowMessage handler.
#pragma once

// Messages are shown as modal dialogs captioned "Vostrel", owned by the main window,
// with the buttons captioned from the text table.
void InstallDialogMessageHandler();
