#pragma once

#include <functional>

class QDialog;

// Shows a modal dialog and returns its result (QDialog::Accepted or Rejected, or another code the
// dialog ends with).
int UiExec(QDialog& dialog);

// Replaces the modal loop (tests fill the dialog, press its buttons and return dialog.result());
// an empty hook restores it.
void SetDialogExecHook(std::function<int(QDialog&)> hook);
