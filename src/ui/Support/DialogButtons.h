#pragma once

class QDialog;
class QDialogButtonBox;

// The "确定" (id1, default) and "取消" (id2) buttons of a dialog, wired to its accept and reject.
QDialogButtonBox* CreateOkCancelButtons(QDialog* pDialog);
