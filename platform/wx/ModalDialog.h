// Running a dialog modally. Every modal dialog of the program goes through RunModal, so that tests (and
// unattended runs) can answer dialogs without a person: a handler installed with SetModalDialogHandler
// gets the dialog instead of the operator and returns its result code. While a dialog is open it counts
// in ModalDepth (platform/Facade.h).
#pragma once

#include <functional>

class wxDialog;

using ModalDialogHandler = std::function<int(wxDialog&)>;

// Shows the dialog modally and returns its result code, or hands it to the installed handler.
int RunModal(wxDialog& dialog);
// Installs a handler (empty: dialogs are shown to the operator). Returns the previous one.
ModalDialogHandler SetModalDialogHandler(ModalDialogHandler handler);
