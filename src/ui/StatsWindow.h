#pragma once

#include <string>
#include <vector>

#include <QDialog>

#include "core/Statistics.h"

class CMemTable;
class QCheckBox;
class QChartView;
class QComboBox;
class QTableWidget;

// 查询 → 统计...: the records counted by one field, or by two as a cross table, shown as a table
// of counts, shares and totals beside a bar chart of the same figures (grouped bars for a cross
// table; horizontal, so that long names stay readable). The table exports as a workbook or CSV,
// the chart as a PNG picture.
class CStatsWindow : public QDialog
{
    Q_OBJECT
  public:
    // Counts the rows of the table: all of them, or the selected ones on request (offered when
    // there are any). strSchoolCode: the school's data files are never an export target.
    CStatsWindow(QWidget* pParent, const CMemTable& students, std::vector<int> selected, std::string strSchoolCode);

    // The table as shown (title row first), for exports and tests.
    const std::vector<std::vector<StatCell>>& Grid() const { return m_grid; }

    // Counts again with the current choices and shows the result.
    void OnCount();
    void OnExportTable();
    void OnExportChart();

  private:
    void ShowTable();
    void ShowChart();
    const StatDimension* SecondDimension() const;

    const CMemTable& m_students;
    const std::vector<int> m_selected;
    const std::string m_strSchoolCode;
    QComboBox* m_cboFirst;
    QComboBox* m_cboSecond;
    QCheckBox* m_chkSelected;
    QTableWidget* m_tblCounts;
    QChartView* m_pChartView;
    CStatCounts m_counts;
    std::vector<std::vector<StatCell>> m_grid;
};
