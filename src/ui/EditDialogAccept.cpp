#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

#include "core/RecordCheck.h"
#include "ui/EditDialog.h"
#include "ui/EditDialogInput.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

namespace
{
constexpr int kListFields[] = {Field::ZYDM,   Field::XBDM,    Field::XLDM,     Field::ZXWYYZDM, Field::SYSZDQDM,
                               Field::WYSPDM, Field::ZZMMDM,  Field::YXGZDQDM, Field::YXDWXZDM, Field::YXDWHYDM,
                               Field::YXYX,   Field::YXZYLBM, Field::JICENG};

constexpr int kLastDateCheck = 20; // the date texts are set once both dates passed their checks
} // namespace

void CEditDialog::OnOK()
{
    if (!ExchangeToValues())
        return;
    RecordCheckInput input;
    std::copy(m_strFields.begin(), m_strFields.end(), std::begin(input.values));
    input.timeCSNY = m_timeCSNY;
    input.timeBYSJ = m_timeBYSJ;
    input.bAddMode = m_bAddMode != FALSE;
    input.isStudentNumberFree = m_isStudentNumberFree;
    const RecordCheckResult result = CheckStudentRecord(input);
    if (result.nCheck == 0 || result.nCheck > kLastDateCheck)
    {
        m_strFields[Field::CSNY] = DateText(m_dtpBirth, m_openedCSNY, m_timeCSNY);
        m_strFields[Field::BYSJ] = DateText(m_dtpGraduation, m_openedBYSJ, m_timeBYSJ);
    }
    if (result.nCheck != 0)
    {
        UiMessageBox(this, FromGbk(result.lpcszMessage), FromGbk(g_lpcszCheckCaption));
        return;
    }
    QDialog::accept();
}

// Takes the controls' contents into the values; false (after telling the user) on the first
// edit whose text cannot be kept.
bool CEditDialog::ExchangeToValues()
{
    TakeDate(m_dtpBirth, m_openedCSNY, m_timeCSNY);
    TakeDate(m_dtpGraduation, m_openedBYSJ, m_timeBYSJ);
    for (int nField : kEditExchangeOrder)
    {
        if (!ReadEdit(nField))
            return false;
    }
    for (int nField : kListFields)
        ReadCombo(nField);
    return true;
}

void CEditDialog::TakeDate(const QDateEdit* pPicker, const OpenedDate& opened, std::int32_t& nTime)
{
    if (pPicker->date() != opened.date)
        nTime = TimeFromDate(pPicker->date());
}

std::string CEditDialog::DateText(const QDateEdit* pPicker, const OpenedDate& opened, std::int32_t nTime)
{
    if (pPicker->date() == opened.date && !opened.strText.empty())
        return opened.strText;
    return FormatDateText(nTime);
}

bool CEditDialog::ReadEdit(int nField)
{
    QLineEdit* pEdit = Edit(nField);
    const QString text = pEdit->text();
    std::string& strValue = m_strFields[nField];
    // Text the user left as it was keeps its bytes exactly, even bytes that are not valid GBK.
    if (text != FromGbk(strValue))
    {
        const std::optional<std::string> bytes = ToGbk(text);
        if (!bytes)
        {
            const QString label = FromGbk(g_studentFields[nField].lpcszEditorLabel);
            ShowInputProblem(pEdit, QStringLiteral("“%1”中有无法保存的字符，请删去或换用其他字符。").arg(label));
            return false;
        }
        strValue = *bytes;
    }
    // The read-only school code cannot be corrected here, so it is kept as stored whatever its length.
    const int nMaxBytes = g_studentFields[nField].nMaxBytes;
    if (!pEdit->isReadOnly() && nMaxBytes > 0 && static_cast<int>(strValue.size()) > nMaxBytes)
    {
        ShowInputProblem(pEdit, QStringLiteral("“请填入不多于%1个的字符。”").arg(nMaxBytes));
        return false;
    }
    return true;
}

void CEditDialog::ReadCombo(int nField)
{
    const QComboBox* pCombo = Combo(nField);
    const int nIndex = pCombo->currentIndex();
    const QVariant stored = nIndex < 0 ? QVariant() : pCombo->itemData(nIndex, kStoredValueRole);
    m_bKept[nField] = stored.isValid();
    if (nIndex < 0)
        m_strFields[nField].clear();
    else if (stored.isValid())
        m_strFields[nField] = stored.toByteArray().toStdString();
    else
        m_strFields[nField] = GbkLiteral(pCombo->itemText(nIndex)); // names of the code tables fit GBK
}

void CEditDialog::ShowInputProblem(QWidget* pControl, const QString& text)
{
    UiMessageBox(this, text, QStringLiteral("提示"), MsgButtons::Ok, MsgIcon::Exclamation);
    pControl->setFocus();
    if (auto* pEdit = qobject_cast<QLineEdit*>(pControl))
        pEdit->selectAll();
}
