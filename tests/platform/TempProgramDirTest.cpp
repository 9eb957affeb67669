// The kit's stand-in for the program's directory: whatever the order in which fixtures come and go,
// the program writes into the newest one alive, never beside the test programs or into the user's
// real configuration.
#include "TestKit.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "platform/ProgramDir.h"

namespace
{
std::string ConfigHome()
{
    const char* lpszConfig = std::getenv("XDG_CONFIG_HOME");
    return lpszConfig ? lpszConfig : "(unset)";
}
} // namespace

TEST(TempProgramDir, AFixtureReplacedByANewOneLeavesTheNewOnesDirectoriesInUse)
{
    const std::string strRealProgram = GetProgramDirectory(), strRealConfig = ConfigHome();
    {
        auto dir = std::make_unique<TestKit::TempProgramDir>();
        dir = std::make_unique<TestKit::TempProgramDir>(); // the old one goes after the new one came
        EXPECT_EQ(GetProgramDirectory(), dir->Path());
        EXPECT_EQ(ConfigHome(), dir->ConfigPath());
        {
            const TestKit::TempProgramDir inner;
            EXPECT_EQ(GetProgramDirectory(), inner.Path());
        }
        EXPECT_EQ(GetProgramDirectory(), dir->Path());
        EXPECT_EQ(ConfigHome(), dir->ConfigPath());
    }
    EXPECT_EQ(GetProgramDirectory(), strRealProgram);
    EXPECT_EQ(ConfigHome(), strRealConfig);
}
