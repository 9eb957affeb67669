#include "UiSchoolFixture.h"

#include <string>

#include <QTest>

#include "core/DataFunc.h"
#include "core/OpenSchool.h"

namespace
{
COpenSchool& StoredSchool()
{
    static COpenSchool school(kTestCode, kTestPassword);
    return school;
}

CMemTable* g_pTestStudents = nullptr; // the table of the newest test school
} // namespace

COpenSchool& TestSchool()
{
    return StoredSchool();
}

CMemTable& TestStudents()
{
    if (g_pTestStudents == nullptr)
        g_pTestStudents = &StoredSchool().Students();
    return *g_pTestStudents;
}

void UiSchoolFixture::initTestCase()
{
    std::string strMessage;
    QVERIFY2(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", g_memSchools, strMessage), strMessage.c_str());
}

void UiSchoolFixture::init()
{
    m_dir.emplace();
    StoredSchool() = COpenSchool(kTestCode, kTestPassword);
    g_pTestStudents = &StoredSchool().Students();
    if (m_table == Table::Empty)
        QVERIFY(CreateStudentTable(TestStudents()));
}

void UiSchoolFixture::cleanup()
{
    m_dir.reset();
}
