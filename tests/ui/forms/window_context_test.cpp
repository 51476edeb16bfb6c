// The context's setters are the one way windows change the settings: the
// owner's copy follows, and a new port is the link's port too.

#include "ui/WindowContext.h"

#include <gtest/gtest.h>

#include "support/TestContext.h"

namespace orbik::ui {
namespace {

TEST(WindowContext, ChangesReachTheOwnersSettingsAndTheLink) {
    settings::Settings s;
    s.programDir = "/opt/orbik";
    s.SetPort("COM2");
    test::TestContext env(s);
    WindowContext& context = env.context;
    context.SetPort("COM12");
    EXPECT_EQ(env.settings.portName, "COM12");
    EXPECT_EQ(env.settings.portNumber, 12);
    EXPECT_EQ(env.link.PortName(), "COM12");
    context.SetPort("LPT1");
    EXPECT_EQ(env.settings.portNumber, std::nullopt);
    EXPECT_EQ(env.link.PortName(), "LPT1");

    context.SetProgramLanguage("German");
    context.SetProjectLanguage("Dutch");
    EXPECT_EQ(context.settings.programLanguage, "German");
    EXPECT_EQ(env.settings.projectLanguage, "Dutch");
    EXPECT_EQ(context.ProgramDir(), "/opt/orbik");
    EXPECT_EQ(context.today(), test::kTestDay);
}

}  // namespace
}  // namespace orbik::ui
