#include "ui/Support/Seams/PrintPreview.h"

#include <utility>

#include <QPrintPreviewDialog>
#include <QPrinter>

namespace
{
std::function<bool(const PrintPreviewRequest&)>& Hook()
{
    static std::function<bool(const PrintPreviewRequest&)> hook;
    return hook;
}
} // namespace

void SetPrintPreviewHook(std::function<bool(const PrintPreviewRequest&)> hook)
{
    Hook() = std::move(hook);
}

bool UiPrintPreview(const PrintPreviewRequest& request)
{
    if (Hook())
        return Hook()(request);
    QPrintPreviewDialog dialog(request.printer, request.parent);
    dialog.setWindowTitle(QStringLiteral("打印预览"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, request.paint);
    return dialog.exec() == QDialog::Accepted;
}
