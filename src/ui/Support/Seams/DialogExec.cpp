#include "ui/Support/Seams/DialogExec.h"

#include <utility>

#include <QDialog>

namespace
{
std::function<int(QDialog&)>& Hook()
{
    static std::function<int(QDialog&)> hook;
    return hook;
}
} // namespace

int UiExec(QDialog& dialog)
{
    return Hook() ? Hook()(dialog) : dialog.exec();
}

void SetDialogExecHook(std::function<int(QDialog&)> hook)
{
    Hook() = std::move(hook);
}
