#include "ui/ImportEncodingDialog.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/ColumnMapping.h"
#include "platform/Encoding.h"
#include "ui/Support/DialogButtons.h"
#include "ui/Support/GbkText.h"

namespace
{
constexpr int kPreviewLines = 5;

std::function<std::optional<TextEncoding>(CImportEncodingDialog&)>& Hook()
{
    static std::function<std::optional<TextEncoding>(CImportEncodingDialog&)> hook;
    return hook;
}

// The first lines of the text: a preview need not decode a whole file.
std::string_view Head(std::string_view bytes)
{
    std::size_t nEnd = 0;
    for (int i = 0; i < kPreviewLines && nEnd != std::string_view::npos; ++i)
        nEnd = bytes.find('\n', nEnd == 0 ? 0 : nEnd + 1);
    return nEnd == std::string_view::npos ? bytes : bytes.substr(0, nEnd);
}

// How many fields the header line names when its bytes are GBK.
int FieldsNamed(std::string_view gbkLine)
{
    int nNamed = 0;
    while (!gbkLine.empty())
    {
        const std::size_t nComma = std::min(gbkLine.find(','), gbkLine.size());
        nNamed += FieldOfUsualTitle(gbkLine.substr(0, nComma)) >= 0;
        gbkLine.remove_prefix(std::min(nComma + 1, gbkLine.size()));
    }
    return nNamed;
}

// The reading in which the header names more fields; on a tie, GBK unless its bytes are no GBK.
TextEncoding LikelyEncoding(std::string_view head)
{
    const std::string_view line = head.substr(0, head.find_first_of("\r\n"));
    const int nGbk = Encoding::IsValidGbk(line) ? FieldsNamed(line) : -1;
    const std::optional<std::string> utf8Line = Encoding::Utf8ToGbk(line);
    const int nUtf8 = utf8Line ? FieldsNamed(*utf8Line) : -1;
    if (nUtf8 != nGbk)
        return nUtf8 > nGbk ? TextEncoding::Utf8 : TextEncoding::Gbk;
    return Encoding::IsValidGbk(head) ? TextEncoding::Gbk : TextEncoding::Utf8;
}

QPlainTextEdit* PreviewBox(const QString& text)
{
    auto* pBox = new QPlainTextEdit(text);
    pBox->setReadOnly(true);
    pBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    return pBox;
}
} // namespace

CImportEncodingDialog::CImportEncodingDialog(QWidget* pParent, std::string_view bytes) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("选择文件的编码"));
    const std::string_view head = Head(bytes);
    m_pGbk = new QRadioButton(QStringLiteral("&GBK（本程序和中文 Windows 写的文件）"));
    m_pUtf8 = new QRadioButton(QStringLiteral("&UTF-8（许多电子表格程序和网站写的文件）"));
    m_pGbk->setObjectName(QStringLiteral("encodingGbk"));
    m_pUtf8->setObjectName(QStringLiteral("encodingUtf8"));
    m_pGbkPreview = PreviewBox(FromGbk(head));
    m_pUtf8Preview = PreviewBox(QString::fromUtf8(head.data(), static_cast<qsizetype>(head.size())));
    m_pGbkPreview->setAccessibleName(QStringLiteral("按GBK读的前几行"));
    m_pUtf8Preview->setAccessibleName(QStringLiteral("按UTF-8读的前几行"));
    Choose(LikelyEncoding(head)); // Enter takes the reading whose header is right

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(new QLabel(QStringLiteral("这个文件可能是两种编码之一，请看哪一种读出的姓名、地址是对的：")));
    pLayout->addWidget(m_pGbk);
    pLayout->addWidget(m_pGbkPreview);
    pLayout->addWidget(m_pUtf8);
    pLayout->addWidget(m_pUtf8Preview);
    pLayout->addWidget(CreateOkCancelButtons(this));
    resize(640, 420);
}

TextEncoding CImportEncodingDialog::ChosenEncoding() const
{
    return m_pUtf8->isChecked() ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

void CImportEncodingDialog::Choose(TextEncoding encoding)
{
    (encoding == TextEncoding::Utf8 ? m_pUtf8 : m_pGbk)->setChecked(true);
}

QString CImportEncodingDialog::Preview(TextEncoding encoding) const
{
    return (encoding == TextEncoding::Utf8 ? m_pUtf8Preview : m_pGbkPreview)->toPlainText();
}

bool IsEncodingOpen(std::string_view bytes)
{
    if (bytes.starts_with(Encoding::kUtf8ByteOrderMark))
        return false;
    const bool bNonAscii =
        std::any_of(bytes.begin(), bytes.end(), [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; });
    return bNonAscii && Encoding::IsValidUtf8(bytes);
}

std::optional<TextEncoding> AskCsvEncoding(QWidget* pParent, std::string_view bytes)
{
    CImportEncodingDialog dlg(pParent, bytes);
    if (Hook())
        return Hook()(dlg);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.ChosenEncoding();
}

void SetEncodingQuestionHook(std::function<std::optional<TextEncoding>(CImportEncodingDialog&)> hook)
{
    Hook() = std::move(hook);
}
