#include "ui/BatchEditDialog.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/DataFunc.h"
#include "core/RecordCheck.h"
#include "ui/AppIcon.h"
#include "ui/EditDialogControls.h"
#include "ui/EditDialogInput.h"
#include "ui/Support/DialogButtons.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

CBatchEditDialog::CBatchEditDialog(const CMemTable& students, std::vector<int> rows, QWidget* parent)
    : QDialog(parent), m_students(students), m_rows(std::move(rows)), m_cbxField(new QComboBox(this)),
      m_pValueBox(new QWidget(this)), m_stcPreview(new QLabel(this))
{
    setObjectName(QStringLiteral("batchEdit"));
    setWindowTitle(QStringLiteral("批量修改选中记录"));
    setWindowIcon(ApplicationIcon());
    m_cbxField->setObjectName(QStringLiteral("batchField"));
    m_cbxField->setAccessibleName(QStringLiteral("要修改的项目"));
    for (int nField = 0; nField < STUDENT_FIELD_COUNT; ++nField)
    {
        if (CanChangeInBatch(nField))
            m_cbxField->addItem(FromGbk(g_studentFields[nField].lpcszListLabel), nField);
    }
    auto* pValueLayout = new QVBoxLayout(m_pValueBox);
    pValueLayout->setContentsMargins(0, 0, 0, 0);
    m_stcPreview->setObjectName(QStringLiteral("batchPreview"));

    auto* pForm = new QFormLayout;
    auto* pSelected = new QLabel(QStringLiteral("%1条").arg(m_rows.size()), this);
    pForm->addRow(QStringLiteral("选中的记录："), pSelected);
    pForm->addRow(QStringLiteral("要修改的项目(&F)："), m_cbxField);
    pForm->addRow(QStringLiteral("新的值(&V)："), m_pValueBox);
    auto* pMain = new QVBoxLayout(this);
    pMain->addLayout(pForm);
    pMain->addWidget(m_stcPreview);
    pMain->addWidget(CreateOkCancelButtons(this));

    connect(m_cbxField, &QComboBox::currentIndexChanged, this, &CBatchEditDialog::OnFieldChosen);
    OnFieldChosen();
}

CBatchEditDialog::~CBatchEditDialog() = default;

int CBatchEditDialog::ChosenField() const
{
    return m_cbxField->currentData().toInt();
}

void CBatchEditDialog::SelectField(int nField)
{
    m_cbxField->setCurrentIndex(m_cbxField->findData(nField));
}

void CBatchEditDialog::OnFieldChosen()
{
    ShowValueControl(ChosenField());
    UpdatePreview();
}

void CBatchEditDialog::ShowValueControl(int nField)
{
    // The previous field's controls go with their holder.
    delete m_pValueInner;
    m_pValueInner = new QWidget(m_pValueBox);
    m_pValueBox->layout()->addWidget(m_pValueInner);
    auto* pRow = new QHBoxLayout(m_pValueInner);
    pRow->setContentsMargins(0, 0, 0, 0);
    m_cbxFilter = nullptr;
    m_pControl = CreateFieldControl(nField, true);
    m_pControl->setObjectName(QStringLiteral("batchValue"));
    m_pControl->setAccessibleName(FromGbk(g_studentFields[nField].lpcszEditorLabel));
    switch (ControlKindOf(nField))
    {
    case FieldControlKind::List: {
        auto* pList = static_cast<QComboBox*>(m_pControl);
        FillFieldList(pList, nField);
        if (HasFilterList(nField))
        {
            m_cbxFilter = static_cast<QComboBox*>(CreateFieldControl(nField));
            m_cbxFilter->setObjectName(QStringLiteral("batchFilter"));
            m_cbxFilter->setAccessibleName(nField == Field::ZYDM ? QStringLiteral("专业类别")
                                                                 : QStringLiteral("意向工作省份"));
            FillFilterList(m_cbxFilter, nField);
            FollowFilterList(m_cbxFilter, nField, pList);
            connect(m_cbxFilter, &QComboBox::activated, this, [this, nField, pList] {
                FollowFilterList(m_cbxFilter, nField, pList);
                UpdatePreview();
            });
            pRow->addWidget(m_cbxFilter);
        }
        connect(pList, &QComboBox::currentIndexChanged, this, &CBatchEditDialog::UpdatePreview);
        pRow->addWidget(pList, 1);
        break;
    }
    case FieldControlKind::Date: {
        auto* pPicker = static_cast<QDateEdit*>(m_pControl);
        pPicker->setDate(QDate(2006, 6, 30)); // the editor's own first graduation date
        connect(pPicker, &QDateEdit::dateChanged, this, &CBatchEditDialog::UpdatePreview);
        pRow->addWidget(pPicker, 1);
        break;
    }
    default: {
        auto* pEdit = static_cast<QLineEdit*>(m_pControl);
        connect(pEdit, &QLineEdit::textChanged, this, &CBatchEditDialog::UpdatePreview);
        pRow->addLayout(WithByteCounter(pEdit, nField, m_pValueInner, QStringLiteral("batchValueCount")), 1);
        break;
    }
    }
}

std::optional<std::string> CBatchEditDialog::ReadValue(bool bTell)
{
    const int nField = ChosenField();
    switch (ControlKindOf(nField))
    {
    case FieldControlKind::List: {
        const auto* pList = static_cast<QComboBox*>(m_pControl);
        if (pList->currentIndex() < 0)
            return std::string();
        return LookupFieldCode(GbkLiteral(pList->currentText()), g_studentFields[nField].lpcszName);
    }
    case FieldControlKind::Date: {
        const std::int32_t nTime = TimeFromDate(static_cast<QDateEdit*>(m_pControl)->date());
        return nTime > 0 ? FormatDateText(nTime) : std::string();
    }
    default: {
        auto* pEdit = static_cast<QLineEdit*>(m_pControl);
        std::optional<std::string> bytes = ToGbk(pEdit->text());
        if (!bytes && bTell)
        {
            const QString label = FromGbk(g_studentFields[nField].lpcszEditorLabel);
            UiMessageBox(this, QStringLiteral("“%1”中有无法保存的字符，请删去或换用其他字符。").arg(label),
                         QStringLiteral("提示"), MsgButtons::Ok, MsgIcon::Exclamation);
            pEdit->setFocus();
        }
        return bytes;
    }
    }
}

void CBatchEditDialog::UpdatePreview()
{
    const std::optional<std::string> value = ReadValue(false);
    if (!value)
    {
        m_stcPreview->setText(QStringLiteral("新的值中有无法保存的字符。"));
        return;
    }
    const BatchCount count = CountBatchChange(m_students, m_rows, {ChosenField(), *value});
    m_stcPreview->setText(
        QStringLiteral("将修改%1条记录，%2条记录已是这个值。").arg(count.nChanging).arg(count.nAlreadyHolding));
}

void CBatchEditDialog::OnOK()
{
    const std::optional<std::string> value = ReadValue(true);
    if (!value)
        return;
    const FieldChange change{ChosenField(), *value};
    const BatchCheckResult check = CheckBatchChange(m_students, m_rows, change);
    if (!check.Passes())
    {
        QString text = FromGbk(check.lpcszMessage);
        if (check.nFailingRows < static_cast<int>(m_rows.size()))
            text += QStringLiteral("\n（选中的记录中有%1条如此。）").arg(check.nFailingRows);
        UiMessageBox(this, text, FromGbk(g_lpcszCheckCaption));
        m_pControl->setFocus();
        return;
    }
    if (CountBatchChange(m_students, m_rows, change).nChanging == 0)
    {
        UiMessageBox(this, QStringLiteral("选中的记录都已是这个值，不需要修改。"), QStringLiteral("提示"));
        return;
    }
    m_change = change;
    QDialog::accept();
}
