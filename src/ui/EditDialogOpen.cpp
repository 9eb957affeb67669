#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

#include "core/Gbk.h"
#include "ui/EditDialog.h"
#include "ui/EditDialogControls.h"
#include "ui/EditDialogInput.h"
#include "ui/Support/ComboFill.h"
#include "ui/Support/GbkText.h"

namespace
{
QPushButton* Button(QWidget* pDialog, int nId)
{
    return pDialog->findChild<QPushButton*>(QStringLiteral("id%1").arg(nId));
}
} // namespace

BOOL CEditDialog::OnInitDialog()
{
    m_dtpBirth->setDate(ShownDate(m_strFields[Field::CSNY], m_timeCSNY));
    m_dtpGraduation->setDate(ShownDate(m_strFields[Field::BYSJ], m_timeBYSJ));
    m_openedCSNY = {m_dtpBirth->date(), m_strFields[Field::CSNY]};
    m_openedBYSJ = {m_dtpGraduation->date(), m_strFields[Field::BYSJ]};
    for (int nField : kEditExchangeOrder)
        Edit(nField)->setText(FromGbk(m_strFields[nField]));

    if (m_bAddMode)
    {
        Button(this, 1)->setText(QStringLiteral("添加记录"));
        setWindowTitle(QStringLiteral("添加学生记录"));
        Button(this, 2)->setText(QStringLiteral("退出添加"));
    }
    else
    {
        Button(this, 1)->setText(QStringLiteral("确认修改"));
        setWindowTitle(QStringLiteral("修改学生记录"));
        Button(this, 2)->setText(QStringLiteral("退出"));
    }
    FillLists();
    SelectStoredValues();
    return TRUE;
}

void CEditDialog::FillLists()
{
    FillFilterList(m_cbxWorkProvince, Field::YXGZDQDM);
    FillFilterList(m_cbxCategory, Field::ZYDM);
    for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
    {
        if (ControlKindOf(nField) == FieldControlKind::List)
            FillFieldList(Combo(nField), nField);
    }
}

void CEditDialog::SelectStoredValues()
{
    for (int nField : {Field::SYSZDQDM, Field::XBDM, Field::XLDM, Field::YXDWHYDM, Field::YXDWXZDM, Field::YXYX,
                       Field::YXZYLBM, Field::ZZMMDM, Field::ZXWYYZDM, Field::WYSPDM})
        SelectStoredValue(nField);
    SelectComboText(m_cbxWorkProvince, m_strYXGZSF);
    OnSelendokProvince();
    SelectStoredValue(Field::YXGZDQDM);
    SelectComboText(m_cbxCategory, m_strZYDLDM);
    OnSelendokCategory();
    SelectStoredValue(Field::ZYDM);
    SelectStoredValue(Field::JICENG);
}

// Add mode selects the value when the list has it. Modify mode never lets the list stand for a value
// the record does not hold: an empty value leaves the list without a selection (the checks then ask
// for one), and a value the list lacks is added as an entry of its own, so that accepting the record
// unchanged keeps it. The origin list leaves out "--不限--" on purpose and does not take it back.
void CEditDialog::SelectStoredValue(int nField)
{
    QComboBox* pCombo = Combo(nField);
    const std::string& strValue = m_strFields[nField];
    const bool bFound = SelectComboText(pCombo, strValue);
    if (m_bAddMode)
        return;
    const bool bExcluded = nField == Field::SYSZDQDM && Gbk::EqualsNoCase(strValue, g_codeProvinces.pItems[0].name);
    if (strValue.empty() || bExcluded)
    {
        pCombo->setCurrentIndex(-1);
        return;
    }
    if (!bFound)
    {
        pCombo->addItem(FromGbk(strValue));
        pCombo->setCurrentIndex(pCombo->count() - 1);
    }
    pCombo->setItemData(pCombo->currentIndex(), QByteArray::fromStdString(strValue), kStoredValueRole);
}

void CEditDialog::OnSelendokProvince()
{
    FollowFilterList(m_cbxWorkProvince, Field::YXGZDQDM, Combo(Field::YXGZDQDM));
}

void CEditDialog::OnSelendokCategory()
{
    FollowFilterList(m_cbxCategory, Field::ZYDM, Combo(Field::ZYDM));
}

void CEditDialog::OnExampleFill()
{
    Edit(Field::XSBSH)->setText(QStringLiteral("123456789012345"));
    Edit(Field::XM)->setText(QStringLiteral("张明"));
    m_dtpBirth->setDate(QDate(1984, 7, 7));
    m_dtpGraduation->setDate(QDate(2006, 6, 30));
    Edit(Field::DZXX)->setText(QStringLiteral("zhangming@example.com"));
    Edit(Field::LXDH)->setText(QStringLiteral("01012345678"));
    Edit(Field::SJHM)->setText(QStringLiteral("135**246801"));
    Edit(Field::TXDZ)->setText(QStringLiteral("某某市某某区某某路##号院#号楼###室"));
    Edit(Field::YZBM)->setText(QStringLiteral("123456"));
    Edit(Field::BZ)->setText(QStringLiteral("这是样例"));

    // The category list moves without its cascade: the major list keeps its entries.
    const QList<QComboBox*> lists = {Combo(Field::SYSZDQDM), Combo(Field::XBDM),     Combo(Field::XLDM),
                                     Combo(Field::YXDWHYDM), Combo(Field::YXDWXZDM), m_cbxWorkProvince,
                                     m_cbxCategory,          Combo(Field::YXYX),     Combo(Field::YXZYLBM),
                                     Combo(Field::ZXWYYZDM), Combo(Field::ZYDM),     Combo(Field::ZZMMDM),
                                     Combo(Field::JICENG)};
    for (QComboBox* pCombo : lists)
        pCombo->setCurrentIndex(1);
    OnSelendokProvince();
    Combo(Field::WYSPDM)->setCurrentIndex(3);
    Combo(Field::YXGZDQDM)->setCurrentIndex(1); // beyond a single region: no selection
}
