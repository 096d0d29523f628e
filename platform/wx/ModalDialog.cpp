#include "platform/wx/ModalDialog.h"

#include <wx/dialog.h>

#include "platform/Facade.h"

namespace {
ModalDialogHandler g_handler;
}

int RunModal(wxDialog& dialog) {
    const CModalScope modal;
    if (g_handler) {
        // The dialog is initialised as a shown one would be, then answered by the handler.
        dialog.InitDialog();
        return g_handler(dialog);
    }
    return dialog.ShowModal();
}

ModalDialogHandler SetModalDialogHandler(ModalDialogHandler handler) {
    ModalDialogHandler previous = std::move(g_handler);
    g_handler = std::move(handler);
    return previous;
}
