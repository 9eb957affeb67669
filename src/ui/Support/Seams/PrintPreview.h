#pragma once

#include <functional>

class QPrinter;
class QWidget;

struct PrintPreviewRequest
{
    QWidget* parent = nullptr;
    QPrinter* printer = nullptr;          // its page set up for the job
    std::function<void(QPrinter*)> paint; // paints every page on the printer it is given
};

// Shows the print preview; the user prints from it (to paper, or to a file through the printer
// choice). True when the pages were sent to the printer.
bool UiPrintPreview(const PrintPreviewRequest& request);

// Replaces the preview (tests paint into a PDF printer instead and answer); an empty hook restores it.
void SetPrintPreviewHook(std::function<bool(const PrintPreviewRequest&)> hook);
