#include "ui/EditDialogControls.h"

#include <algorithm>

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>

#include "core/DataFunc.h"
#include "ui/ByteCounter.h"
#include "ui/DatePicker.h"
#include "ui/EditDialogInput.h"
#include "ui/Support/ComboFill.h"
#include "ui/Support/GbkText.h"

FieldControlKind ControlKindOf(int nField)
{
    if (g_studentFields[nField].pTable != nullptr || nField == Field::YXYX)
        return FieldControlKind::List;
    if (nField == Field::CSNY || nField == Field::BYSJ)
        return FieldControlKind::Date;
    if (nField == Field::XSBSH || nField == Field::YXDM || nField == Field::YZBM)
        return FieldControlKind::DigitsEdit;
    return FieldControlKind::Edit;
}

QWidget* CreateFieldControl(int nField, bool bWide)
{
    switch (ControlKindOf(nField))
    {
    case FieldControlKind::List: {
        auto* pCombo = new QComboBox; // not editable: a drop-down list; typing jumps to an entry
        pCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        pCombo->setMinimumContentsLength(bWide ? 24 : 8);
        return pCombo;
    }
    case FieldControlKind::Date:
        return new CDatePicker;
    default: {
        auto* pEdit = new QLineEdit;
        const int nMaxBytes = g_studentFields[nField].nMaxBytes;
        pEdit->setValidator(
            new CGbkLimitValidator(pEdit, nMaxBytes, ControlKindOf(nField) == FieldControlKind::DigitsEdit));
        // Wide enough for a short field's whole value; long ones share the row's width.
        const int nShown = std::min(nMaxBytes, 20) + 2;
        pEdit->setMinimumWidth(pEdit->fontMetrics().horizontalAdvance(QString(nShown, QLatin1Char('0'))));
        return pEdit;
    }
    }
}

QHBoxLayout* WithByteCounter(QLineEdit* pEdit, int nField, QWidget* pParent, const QString& counterName)
{
    auto* pCounter = new CByteCounter(pEdit, g_studentFields[nField].nMaxBytes, pParent);
    pCounter->setObjectName(counterName);
    auto* pRow = new QHBoxLayout;
    pRow->setSpacing(2);
    pRow->addWidget(pEdit, 1);
    pRow->addWidget(pCounter);
    return pRow;
}

void FillFieldList(QComboBox* pCombo, int nField)
{
    if (nField == Field::YXYX)
    {
        for (const char* lpcszBand : g_szSalaryBands)
            pCombo->addItem(FromGbk(lpcszBand));
    }
    else if (nField == Field::YXGZDQDM)
        pCombo->addItem(QString()); // the regions wait for the province cascade
    else
        FillComboFromTable(pCombo, *g_studentFields[nField].pTable);
    pCombo->setCurrentIndex(0);
    // The origin is always a real province: the list leaves out "--不限--" and starts without a selection.
    if (nField == Field::SYSZDQDM)
    {
        pCombo->removeItem(0);
        pCombo->setCurrentIndex(-1);
    }
}

bool HasFilterList(int nField)
{
    return nField == Field::ZYDM || nField == Field::YXGZDQDM;
}

void FillFilterList(QComboBox* pFilter, int nField)
{
    FillComboFromTable(pFilter, nField == Field::ZYDM ? MajorCategories() : g_codeProvinces);
}

void FollowFilterList(const QComboBox* pFilter, int nField, QComboBox* pList)
{
    if (nField == Field::ZYDM)
        FillComboByFilter(pFilter, MajorCategories(), pList, g_codeMajors, 4);
    else
        FillComboByFilter(pFilter, g_codeProvinces, pList, g_codeRegions, 2);
}
