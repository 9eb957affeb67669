#include "ui/SchoolCodeDialog.h"

#include <optional>
#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

#include "core/DataFunc.h"
#include "core/SchoolFilter.h"
#include "ui/AppIcon.h"
#include "ui/Support/DialogButtons.h"
#include "ui/Support/GbkText.h"
#include "ui/Support/Seams/MessageBox.h"

// The shown schools: item i is directory row m_rows[i]; column 0 the code, column 1 the name.
class CSchoolListModel : public QAbstractTableModel
{
  public:
    explicit CSchoolListModel(QObject* parent) : QAbstractTableModel(parent) {}

    // Replaces the shown rows at once, so that the view repaints once per refill.
    void SetRows(std::vector<int> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    int DirectoryRow(int nItem) const { return m_rows[static_cast<std::size_t>(nItem)]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return FromGbk(g_memSchools.GetCell(DirectoryRow(index.row()), index.column()));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
            return {};
        return section == 0 ? QStringLiteral("学校编码") : QStringLiteral("学校名称");
    }

  private:
    std::vector<int> m_rows;
};

CSchoolCodeDialog::CSchoolCodeDialog(QWidget* parent)
    : QDialog(parent), m_edtFilter(new QLineEdit(this)), m_lstSchools(new QTableView(this)),
      m_model(new CSchoolListModel(this))
{
    setWindowTitle(QStringLiteral("Varnholt - 院校代码查询"));
    setWindowIcon(ApplicationIcon());

    auto* label = new QLabel(QStringLiteral("院校名称："), this);
    label->setBuddy(m_edtFilter);
    m_edtFilter->setObjectName(QStringLiteral("id1016"));
    m_edtFilter->setAccessibleName(QStringLiteral("院校名称"));

    m_lstSchools->setObjectName(QStringLiteral("id1015"));
    m_lstSchools->setAccessibleName(QStringLiteral("学校列表"));
    m_lstSchools->setModel(m_model);
    m_lstSchools->setShowGrid(true);
    m_lstSchools->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lstSchools->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstSchools->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstSchools->setWordWrap(false);
    m_lstSchools->verticalHeader()->hide();
    m_lstSchools->verticalHeader()->setDefaultSectionSize(m_lstSchools->fontMetrics().height() + 4);
    m_lstSchools->horizontalHeader()->setHighlightSections(false);
    m_lstSchools->setColumnWidth(0, 100);
    m_lstSchools->setColumnWidth(1, 400);
    m_lstSchools->setMinimumSize(540, 300);

    QDialogButtonBox* buttons = CreateOkCancelButtons(this);

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(label);
    filterRow->addWidget(m_edtFilter);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(m_lstSchools);
    layout->addWidget(buttons);

    connect(m_edtFilter, &QLineEdit::textChanged, this, &CSchoolCodeDialog::OnFilterChange);
    connect(m_lstSchools, &QTableView::doubleClicked, this, &CSchoolCodeDialog::OnListDblClkSchool);

    OnFilterChange();
}

CSchoolCodeDialog::~CSchoolCodeDialog() = default;

void CSchoolCodeDialog::OnFilterChange()
{
    // A character GBK cannot hold occurs in no name.
    const std::optional<std::string> filter = ToGbk(m_edtFilter->text());
    m_model->SetRows(filter ? FilterSchoolRows(g_memSchools, *filter) : std::vector<int>{});
}

void CSchoolCodeDialog::OnOK()
{
    const QModelIndex current = m_lstSchools->currentIndex();
    if (!current.isValid())
    {
        UiMessageBox(this, QStringLiteral("请选择一项后再点击“确定”。"), QStringLiteral("提示"));
        return;
    }
    m_strSelectedCode = g_memSchools.GetCell(m_model->DirectoryRow(current.row()), 0);
    QDialog::accept();
}

void CSchoolCodeDialog::OnCancel()
{
    QDialog::reject();
}

void CSchoolCodeDialog::OnListDblClkSchool(const QModelIndex&)
{
    OnOK();
}

void LookupCodeInto(QLineEdit* edtCode)
{
    CSchoolCodeDialog dlg;
    if (dlg.exec() == QDialog::Accepted)
        edtCode->setText(FromGbk(dlg.GetSelectedCode()));
}
