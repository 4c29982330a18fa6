// The program's edition: one process is one program.
#include "platform/sys/Edition.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace platform::sys;

namespace {

// A process that never chose is the desktop program; once chosen, the edition cannot become
// the other program's, so no routine can title a box or file a setting as the other program.
TEST(Edition, OneProcessIsOneProgram) {
    EXPECT_EQ(edition(), Edition::desktop());
    EXPECT_NO_THROW(setEdition(Edition::desktop()));
    EXPECT_THROW(setEdition(Edition::addIn()), std::logic_error);
    EXPECT_EQ(edition().messageTitle, QStringLiteral("Lumivane"));
    EXPECT_EQ(settingsApplication(), QStringLiteral("Lumivane"));
}

} // namespace
