#pragma once

#include "UiTestSupport.h"

#include <optional>

class COpenSchool;
class CMemTable;

// The school the dialog tests hand their dialogs and windows, named without its lock or its file.
inline constexpr const char* kTestCode = "10001";
inline constexpr const char* kTestPassword = "123";
// The test school; every test starts with a new one (UiSchoolFixture::init). A window that takes it
// (TestSchoolMainDialog) gives it back when it ends.
COpenSchool& TestSchool();
// The test school's table, also while a window has taken the school: a table stays where it is
// when its school moves.
CMemTable& TestStudents();

// What every dialog test of a logged-in school starts from. A test class holds one and forwards its
// initTestCase(), init() and cleanup() to it: the school directory is loaded once, and each test
// runs in a program directory of its own (with its own configuration directory), a new test school
// and no data file.
class UiSchoolFixture
{
  public:
    // How the test school's table starts each test: cleared as before any login, or an empty student
    // table that a test fills with records.
    enum class Table
    {
        Cleared,
        Empty
    };

    explicit UiSchoolFixture(Table table = Table::Cleared) : m_table(table) {}

    void initTestCase();
    void init();
    void cleanup();

    // The current test's program directory.
    TempProgramDir& dir() { return *m_dir; }
    const TempProgramDir& dir() const { return *m_dir; }

  private:
    Table m_table;
    std::optional<TempProgramDir> m_dir;
};
