#include "ui/Support/StudentColumns.h"

#include <algorithm>

#include <QHeaderView>
#include <QTableView>

#include "core/DataFunc.h"
#include "ui/Support/CodeNameDisplay.h"
#include "ui/Support/GbkText.h"

namespace
{
// A value of each field as a registrar commonly enters it, stored form (UTF-8 here); the student
// number is as long as the field takes, like the editor's own example record.
constexpr const char* kTypicalValues[STUDENT_FIELD_COUNT] = {"123456789012345",
                                                             "10001",
                                                             "08060500",
                                                             "欧阳明华",
                                                             "1",
                                                             "1984-07-07",
                                                             "01",
                                                             "en",
                                                             "2006-06-30",
                                                             "110000",
                                                             "4",
                                                             "zhangming@example.com",
                                                             "04",
                                                             "130100",
                                                             "CA",
                                                             "G",
                                                             "2000-3000 ",
                                                             "01A",
                                                             "010-12345678",
                                                             "13512345678",
                                                             "北京市海淀区某某路12号",
                                                             "100000",
                                                             "这是样例",
                                                             "03"};

// Room for the cell's margins; a title also needs room for the sort arrow.
constexpr int kCellPadding = 16;
constexpr int kTitlePadding = 32;
} // namespace

void FitStudentColumns(QTableView* pList, const int (&minWidths)[24], bool bNames)
{
    static_assert(STUDENT_FIELD_COUNT == 24);
    pList->setWordWrap(false);
    QHeaderView* pRows = pList->verticalHeader();
    pRows->setSectionResizeMode(QHeaderView::Fixed);
    pRows->setDefaultSectionSize(pList->fontMetrics().height() + 4);

    QHeaderView* pColumns = pList->horizontalHeader();
    const QFontMetrics cellMetrics = pList->fontMetrics();
    const QFontMetrics titleMetrics = pColumns->fontMetrics();
    for (int nCol = 0; nCol < STUDENT_FIELD_COUNT; ++nCol)
    {
        const QString title = FromGbk(g_studentFields[nCol].lpcszListLabel);
        const std::string strTypical = GbkLiteral(QString::fromUtf8(kTypicalValues[nCol]));
        const QString value = ListCellText(nCol, strTypical.c_str(), bNames);
        const int nWidth = std::max({minWidths[nCol], titleMetrics.horizontalAdvance(title) + kTitlePadding,
                                     cellMetrics.horizontalAdvance(value) + kCellPadding});
        pColumns->resizeSection(nCol, nWidth);
    }
}
