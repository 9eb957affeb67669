#include "ui/EditDialog.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/EditDialogControls.h"
#include "ui/Support/GbkText.h"

namespace
{
enum class Kind
{
    Edit,
    DigitsEdit,
    ReadOnlyEdit,
    List,
    Date
};

constexpr int kNoField = -1;

// One control of the editor in tab order: its ID, the field it shows (none for the two filter
// lists), the field whose label precedes it (none when it shares the label before it) and its
// place in the grid of its group (the label sits in the column before the control).
struct ControlDef
{
    int nId;
    int nField;
    Kind kind;
    int nLabelField;
    int nGroup;
    int nRow;
    int nCol;
    int nSpan;
};

constexpr ControlDef kControls[] = {
    {1000, Field::XSBSH, Kind::DigitsEdit, Field::XSBSH, 0, 0, 1, 1},
    {1001, Field::YXDM, Kind::ReadOnlyEdit, Field::YXDM, 0, 0, 3, 1},
    {1011, Field::SYSZDQDM, Kind::List, Field::SYSZDQDM, 0, 0, 5, 1},
    {1003, Field::XM, Kind::Edit, Field::XM, 0, 1, 1, 1},
    {1004, Field::XBDM, Kind::List, Field::XBDM, 0, 1, 3, 1},
    {1005, Field::CSNY, Kind::Date, Field::CSNY, 0, 1, 5, 1},
    {1028, kNoField, Kind::List, Field::ZYDM, 0, 2, 1, 1},
    {1002, Field::ZYDM, Kind::List, kNoField, 0, 2, 2, 4},
    {1008, Field::ZXWYYZDM, Kind::List, Field::ZXWYYZDM, 0, 3, 1, 1},
    {1012, Field::WYSPDM, Kind::List, Field::WYSPDM, 0, 3, 3, 1},
    {1010, Field::BYSJ, Kind::Date, Field::BYSJ, 0, 3, 5, 1},
    {1007, Field::XLDM, Kind::List, Field::XLDM, 0, 4, 1, 1},
    {1015, Field::ZZMMDM, Kind::List, Field::ZZMMDM, 0, 4, 3, 1},
    {1027, kNoField, Kind::List, Field::YXGZDQDM, 1, 0, 1, 1},
    {1016, Field::YXGZDQDM, Kind::List, kNoField, 1, 0, 2, 4},
    {1017, Field::YXDWXZDM, Kind::List, Field::YXDWXZDM, 1, 1, 1, 1},
    {1018, Field::YXDWHYDM, Kind::List, Field::YXDWHYDM, 1, 1, 3, 3},
    {1019, Field::YXYX, Kind::List, Field::YXYX, 1, 2, 1, 1},
    {1025, Field::YXZYLBM, Kind::List, Field::YXZYLBM, 1, 2, 3, 3},
    {1021, Field::SJHM, Kind::Edit, Field::SJHM, 2, 0, 1, 1},
    {1020, Field::LXDH, Kind::Edit, Field::LXDH, 2, 0, 3, 1},
    {1013, Field::DZXX, Kind::Edit, Field::DZXX, 2, 0, 5, 1},
    {1022, Field::TXDZ, Kind::Edit, Field::TXDZ, 2, 1, 1, 3},
    {1023, Field::YZBM, Kind::DigitsEdit, Field::YZBM, 2, 1, 5, 1},
    {1024, Field::BZ, Kind::Edit, Field::BZ, 2, 2, 1, 3},
    {1026, Field::JICENG, Kind::List, Field::JICENG, 2, 3, 1, 5},
};

QString IdName(int nId)
{
    return QStringLiteral("id%1").arg(nId);
}

QWidget* CreateControl(const ControlDef& def)
{
    // A filter list is built like the list it filters.
    QWidget* pControl = CreateFieldControl(def.nField == kNoField ? def.nLabelField : def.nField, def.nSpan > 1);
    if (def.kind == Kind::ReadOnlyEdit)
        static_cast<QLineEdit*>(pControl)->setReadOnly(true);
    return pControl;
}

// Places the control in its group; an edit the user types into gets its byte counter beside it.
void AddToGrid(QGridLayout* pGrid, const ControlDef& def, QWidget* pControl)
{
    const bool bCounted = def.kind == Kind::Edit || def.kind == Kind::DigitsEdit;
    if (!bCounted)
    {
        pGrid->addWidget(pControl, def.nRow, def.nCol, 1, def.nSpan);
        return;
    }
    pGrid->addLayout(WithByteCounter(static_cast<QLineEdit*>(pControl), def.nField, pGrid->parentWidget(),
                                     IdName(def.nId) + QStringLiteral("Count")),
                     def.nRow, def.nCol, 1, def.nSpan);
}
} // namespace

CEditDialog::CEditDialog(const std::string& strSchoolCode, QWidget* parent) : QDialog(parent)
{
    Q_ASSERT(!strSchoolCode.empty());
    m_strFields[Field::YXDM] = strSchoolCode;
    m_timeCSNY = ParseDateText("1984-01-01");
    m_timeBYSJ = ParseDateText("2006-06-30");
    setObjectName(QStringLiteral("id137"));
    setSizeGripEnabled(true);
    CreateControls();
}

CEditDialog::~CEditDialog() = default;

void CEditDialog::CreateControls()
{
    const QString titles[] = {QStringLiteral("基本资料(必填)"), QStringLiteral("工作意向(必填)"),
                              QStringLiteral("联系方式(必填)")};
    auto* pMain = new QVBoxLayout(this);
    QGridLayout* grids[3];
    for (int i = 0; i < 3; ++i)
    {
        auto* pGroup = new QGroupBox(titles[i], this);
        grids[i] = new QGridLayout(pGroup);
        pMain->addWidget(pGroup);
    }

    QWidget* pPrevious = nullptr;
    for (const ControlDef& def : kControls)
    {
        QWidget* pControl = CreateControl(def);
        pControl->setObjectName(IdName(def.nId));
        QGridLayout* pGrid = grids[def.nGroup];
        if (def.nLabelField != kNoField)
        {
            const QString label = FromGbk(g_studentFields[def.nLabelField].lpcszEditorLabel);
            auto* pLabel = new QLabel(label);
            pLabel->setObjectName(IdName(def.nId) + QStringLiteral("Label"));
            pLabel->setBuddy(pControl);
            pGrid->addWidget(pLabel, def.nRow, def.nCol - 1);
            pControl->setAccessibleName(label);
        }
        AddToGrid(pGrid, def, pControl);
        if (def.nField != kNoField)
            m_pControls[def.nField] = pControl;
        if (pPrevious)
            setTabOrder(pPrevious, pControl);
        pPrevious = pControl;
    }
    // The two filter lists share their label with the list they filter.
    m_cbxCategory = findChild<QComboBox*>(IdName(1028));
    m_cbxWorkProvince = findChild<QComboBox*>(IdName(1027));
    m_cbxCategory->setAccessibleName(QStringLiteral("专业类别"));
    m_cbxWorkProvince->setAccessibleName(QStringLiteral("意向工作省份"));
    Combo(Field::ZYDM)->setAccessibleName(FromGbk(g_studentFields[Field::ZYDM].lpcszEditorLabel));
    Combo(Field::YXGZDQDM)->setAccessibleName(FromGbk(g_studentFields[Field::YXGZDQDM].lpcszEditorLabel));
    m_dtpBirth = static_cast<QDateEdit*>(m_pControls[Field::CSNY]);
    m_dtpGraduation = static_cast<QDateEdit*>(m_pControls[Field::BYSJ]);

    auto* pOk = new QPushButton(QStringLiteral("确定"), this);
    auto* pCancel = new QPushButton(QStringLiteral("取消"), this);
    auto* pExample = new QPushButton(QStringLiteral("填写举例"), this);
    pOk->setObjectName(IdName(1));
    pCancel->setObjectName(IdName(2));
    pExample->setObjectName(IdName(9));
    pOk->setDefault(true);
    setTabOrder(pPrevious, pOk);
    setTabOrder(pOk, pCancel);
    setTabOrder(pCancel, pExample);
    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(pExample);
    pButtons->addStretch();
    pButtons->addWidget(pOk);
    pButtons->addWidget(pCancel);
    pMain->addLayout(pButtons);
    pMain->addStretch();

    connect(pOk, &QPushButton::clicked, this, &CEditDialog::OnOK);
    connect(pCancel, &QPushButton::clicked, this, &CEditDialog::OnCancel);
    connect(pExample, &QPushButton::clicked, this, &CEditDialog::OnExampleFill);
    connect(m_cbxWorkProvince, &QComboBox::activated, this, &CEditDialog::OnSelendokProvince);
    connect(m_cbxCategory, &QComboBox::activated, this, &CEditDialog::OnSelendokCategory);
}

void CEditDialog::setVisible(bool bVisible)
{
    if (bVisible && !m_bInitialized)
    {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::setVisible(bVisible);
}

void CEditDialog::OnCancel()
{
    QDialog::reject();
}

QLineEdit* CEditDialog::Edit(int nField) const
{
    return static_cast<QLineEdit*>(m_pControls[nField]);
}

QComboBox* CEditDialog::Combo(int nField) const
{
    return static_cast<QComboBox*>(m_pControls[nField]);
}
