#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include <QDate>
#include <QDialog>

#include "core/DataFunc.h"

class QComboBox;
class QDateEdit;
class QLineEdit;

// The record editor: enters a new student record (add mode) or changes one (modify mode).
// It works on display values only: the caller fills the public values with names and texts,
// runs the dialog and, on acceptance, reads them back (coded fields as names, dates as
// "%Y-%m-%d" texts). Only the duplicate check of add mode reads the student table.
class CEditDialog : public QDialog
{
    Q_OBJECT
  public:
    // REQUIRES: strSchoolCode, the logged-in school's code, is not empty (it becomes the value of YXDM).
    explicit CEditDialog(const std::string& strSchoolCode, QWidget* parent = nullptr);
    ~CEditDialog() override;

    BOOL m_bAddMode = TRUE;                                   // FALSE: modify mode, set before running
    std::array<std::string, STUDENT_FIELD_COUNT> m_strFields; // display values in record order (GBK)
    std::string m_strYXGZSF; // province of the desired work region: opens the region list
    std::string m_strZYDLDM; // category of the major: opens the major list
    std::int32_t m_timeCSNY; // birth date, local midnight
    std::int32_t m_timeBYSJ; // graduation date, local midnight
    // In add mode: whether a student number is not stored yet; unset, every number is free.
    std::function<bool(const std::string&)> m_isStudentNumberFree;

    // After acceptance: whether the field's drop-down list still shows the entry the dialog opened
    // with (modify mode), so that the caller keeps the stored code as it was.
    bool IsFieldKept(int nField) const { return m_bKept[nField]; }

    void setVisible(bool bVisible) override; // the first showing runs OnInitDialog
    void accept() override { OnOK(); }       // Enter and the default button
    void reject() override { OnCancel(); }   // Escape and the close box

  protected:
    BOOL OnInitDialog();
    void OnOK();
    void OnCancel();
    void OnExampleFill();
    void OnSelendokProvince();
    void OnSelendokCategory();

  private:
    void CreateControls();
    void FillLists();
    void SelectStoredValues();
    void SelectStoredValue(int nField);
    bool ExchangeToValues();
    // A date the user left as it opened keeps its time value and its stored text byte for byte.
    struct OpenedDate
    {
        QDate date;
        std::string strText;
    };
    static void TakeDate(const QDateEdit* pPicker, const OpenedDate& opened, std::int32_t& nTime);
    static std::string DateText(const QDateEdit* pPicker, const OpenedDate& opened, std::int32_t nTime);
    bool ReadEdit(int nField);
    void ReadCombo(int nField);
    void ShowInputProblem(QWidget* pControl, const QString& text);

    QLineEdit* Edit(int nField) const;
    QComboBox* Combo(int nField) const;

    std::array<QWidget*, STUDENT_FIELD_COUNT> m_pControls{}; // the control of each field
    std::array<bool, STUDENT_FIELD_COUNT> m_bKept{};
    QComboBox* m_cbxWorkProvince = nullptr; // 1027
    QComboBox* m_cbxCategory = nullptr;     // 1028
    QDateEdit* m_dtpBirth = nullptr;        // 1005
    QDateEdit* m_dtpGraduation = nullptr;   // 1010
    OpenedDate m_openedCSNY;
    OpenedDate m_openedBYSJ;
    bool m_bInitialized = false;
};
