#pragma once

#include <functional>

#include <QAbstractItemModel>
#include <QString>
#include <QStringList>

class CImportColumnsDialog;

// Answers the import's column step and preview in place of their modal loops, and keeps what the
// preview showed: its summary and the failing records' lines (cells joined by " | ").
class ImportAnswers
{
  public:
    ImportAnswers();
    ~ImportAnswers();

    // Runs on the column step before it is accepted; without it the step is accepted as shown.
    std::function<void(CImportColumnsDialog&)> onColumns;
    bool bCancelColumns = false;
    // The preview's radio button for stored numbers and the button pressed (object names).
    QString stored = QStringLiteral("storedUpdate");
    QString button = QStringLiteral("importAll");

    int nColumnSteps = 0;
    int nPreviews = 0;
    QString summary;
    QStringList failing;
    QStringList ignoredColumns;
};
