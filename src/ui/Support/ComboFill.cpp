#include "ui/Support/ComboFill.h"

#include <QComboBox>

#include "core/DataFunc.h"
#include "ui/Support/GbkText.h"

namespace
{
// Folds ASCII letters only: the same rule as the byte comparison of GBK texts.
bool EqualsAsciiNoCase(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
    {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x < 0x80 && y < 0x80)
        {
            x = static_cast<char16_t>(x >= u'A' && x <= u'Z' ? x + 32 : x);
            y = static_cast<char16_t>(y >= u'A' && y <= u'Z' ? y + 32 : y);
        }
        if (x != y)
            return false;
    }
    return true;
}
} // namespace

void FillComboFromTable(QComboBox* pCombo, const CODETABLE& table, std::string_view prefix)
{
    pCombo->clear();
    QStringList names;
    for (const CODEITEM* pItem : RowsWithPrefix(table, prefix))
        names.append(FromGbk(pItem->name));
    pCombo->addItems(names);
    pCombo->setCurrentIndex(names.isEmpty() ? -1 : 0);
}

bool SelectComboText(QComboBox* pCombo, std::string_view text)
{
    const QString wanted = FromGbk(text);
    for (int i = 0; i < pCombo->count(); ++i)
    {
        if (EqualsAsciiNoCase(pCombo->itemText(i), wanted))
        {
            pCombo->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void FillComboByFilter(const QComboBox* pFilter, const CODETABLE& filterTable, QComboBox* pList,
                       const CODETABLE& listTable, std::size_t nPrefix)
{
    pList->clear();
    if (pFilter->currentIndex() < 0)
    {
        pList->addItem(QString());
        pList->setCurrentIndex(-1);
        return;
    }
    const std::string strCode = FindCodeByName(GbkLiteral(pFilter->currentText()), filterTable);
    Q_ASSERT(!strCode.empty());
    FillComboFromTable(pList, listTable, std::string_view(strCode).substr(0, nPrefix));
}
