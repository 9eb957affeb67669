#include "ui/Support/Seams/FileDialogs.h"

#include <utility>

#include <QFileDialog>

namespace
{
std::function<QString(const FileDialogRequest&)>& Hook()
{
    static std::function<QString(const FileDialogRequest&)> hook;
    return hook;
}
} // namespace

void SetFileDialogHook(std::function<QString(const FileDialogRequest&)> hook)
{
    Hook() = std::move(hook);
}

QString UiFileDialog(const FileDialogRequest& request)
{
    if (Hook())
        return Hook()(request);
    QFileDialog dialog(request.parent, QString(), request.directory, request.filter);
    dialog.setAcceptMode(request.bSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.bSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.defaultName.isEmpty())
        dialog.selectFile(request.defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
