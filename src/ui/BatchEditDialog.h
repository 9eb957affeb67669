#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QDialog>

#include "core/BatchChange.h"

class QComboBox;
class QLabel;
class QWidget;

// 批量修改选中记录: one field and one value for the chosen records of the students' table. The value is
// chosen with the record editor's own control for the field (its drop-down list with the cascade,
// its date picker, or its edit with the byte limit); a line below counts how many records change
// and how many hold the value already. OK runs the editor's checks for the field on every chosen
// record (caption "帮助信息") and closes only when they pass and some record changes; the caller
// then applies GetChange().
class CBatchEditDialog : public QDialog
{
    Q_OBJECT
  public:
    // REQUIRES: rows are rows of students, ascending, not empty.
    CBatchEditDialog(const CMemTable& students, std::vector<int> rows, QWidget* parent = nullptr);
    ~CBatchEditDialog() override;

    // Chooses the field whose value is set (record order); the value control follows.
    void SelectField(int nField);
    // After acceptance: the field and its value in stored form.
    const FieldChange& GetChange() const { return m_change; }

    void accept() override { OnOK(); }

  protected:
    void OnOK();

  private:
    void OnFieldChosen();
    void ShowValueControl(int nField);
    void UpdatePreview();
    // The value shown, in stored form; nullopt (after telling the user) for text GBK cannot hold.
    std::optional<std::string> ReadValue(bool bTell);
    int ChosenField() const;

    const CMemTable& m_students;
    std::vector<int> m_rows;
    FieldChange m_change;
    QComboBox* m_cbxField;
    QWidget* m_pValueBox;             // where the chosen field's controls go
    QWidget* m_pValueInner = nullptr; // holds them: the control, its filter list or byte counter
    QComboBox* m_cbxFilter = nullptr; // the province or category before the list it filters
    QWidget* m_pControl = nullptr;    // the field's own control
    QLabel* m_stcPreview;
};
