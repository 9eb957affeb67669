#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <QDialog>

#include "exchange/CsvFile.h"

class QPlainTextEdit;
class QRadioButton;

// Asks how an imported CSV file is encoded, showing its first lines read both ways, so that the
// user sees which reading gives the right names.
class CImportEncodingDialog : public QDialog
{
  public:
    CImportEncodingDialog(QWidget* pParent, std::string_view bytes);

    TextEncoding ChosenEncoding() const;
    void Choose(TextEncoding encoding);
    // The preview of the first lines in the encoding.
    QString Preview(TextEncoding encoding) const;

  private:
    QRadioButton* m_pGbk;
    QRadioButton* m_pUtf8;
    QPlainTextEdit* m_pGbkPreview;
    QPlainTextEdit* m_pUtf8Preview;
};

// Whether the file leaves its encoding open: no UTF-8 byte-order mark, and its bytes are valid
// UTF-8 with characters beyond ASCII (many GBK texts are too). Only then is the user asked; any
// other file is GBK.
bool IsEncodingOpen(std::string_view bytes);

// Asks with the dialog; nullopt when the user cancels.
std::optional<TextEncoding> AskCsvEncoding(QWidget* pParent, std::string_view bytes);

// Replaces the question (tests inspect the dialog and answer); an empty hook restores it.
void SetEncodingQuestionHook(std::function<std::optional<TextEncoding>(CImportEncodingDialog&)> hook);
