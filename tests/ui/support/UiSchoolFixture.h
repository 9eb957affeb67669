#pragma once

#include "UiTestSupport.h"

#include <optional>

// What every dialog test of a logged-in school starts from. A test class holds one and forwards its
// initTestCase(), init() and cleanup() to it: the school directory is loaded once, and each test
// runs in a program directory of its own (with its own configuration directory), the open school's
// table reset and no data file.
class UiSchoolFixture
{
  public:
    // How the open school's table starts each test: cleared as before any login, or an empty student
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
