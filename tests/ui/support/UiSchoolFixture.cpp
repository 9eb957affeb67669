#include "UiSchoolFixture.h"

#include <string>

#include <QTest>

#include "core/CurrentSchool.h"
#include "core/DataFunc.h"

void UiSchoolFixture::initTestCase()
{
    std::string strMessage;
    QVERIFY2(LoadResourceTable(IDR_SCHOOL_DIRECTORY, "TXT", g_memSchools, strMessage), strMessage.c_str());
}

void UiSchoolFixture::init()
{
    m_dir.emplace();
    if (m_table == Table::Empty)
        QVERIFY(CreateStudentTable(g_memStudents));
    else
        g_memStudents.Clear();
}

void UiSchoolFixture::cleanup()
{
    m_dir.reset();
}
