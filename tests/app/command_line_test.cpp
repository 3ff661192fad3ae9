#include "app/command_line.h"

#include <gtest/gtest.h>

namespace arrivals {
namespace {

using Action = CommandLine::Action;

struct Case {
  std::vector<const char *> args; // after the program's name
  Action action;
  const char *error; // a part of the error line, for Action::Error
};

class CommandLineTest : public testing::TestWithParam<Case> {};

TEST_P(CommandLineTest, reads_options_as_documented) {
  const Case &c = GetParam();
  QStringList arguments{QStringLiteral("arrivals")};
  for (const char *a : c.args)
    arguments << QString::fromUtf8(a);
  const CommandLine line = ParseCommandLine(arguments);
  EXPECT_EQ(line.action, c.action) << qPrintable(line.error);
  if (c.action == Action::Error) {
    EXPECT_TRUE(line.error.contains(QString::fromUtf8(c.error)))
        << qPrintable(line.error);
  }
  EXPECT_FALSE(line.error.contains(QLatin1Char('\n')));
}

INSTANTIATE_TEST_SUITE_P(
    table, CommandLineTest,
    testing::Values(
        Case{{}, Action::Run, ""}, Case{{"--help"}, Action::Help, ""},
        Case{{"-h"}, Action::Help, ""},
        Case{{"--version"}, Action::Version, ""},
        Case{{"--seed", "7"}, Action::Run, ""},
        Case{{"--seed=18446744073709551615"}, Action::Run, ""},
        Case{{"--seed", "18446744073709551616"},
             Action::Error,
             "'18446744073709551616'"},
        Case{{"--seed", "-1"}, Action::Error, "unsigned"},
        Case{{"--seed", "0x10"}, Action::Error, "unsigned"},
        Case{{"--seed"}, Action::Error, "seed"},
        Case{{"--seed", "1", "--seed", "2"}, Action::Error, "more than once"},
        Case{{"--script", "-"}, Action::Run, ""},
        Case{
            {"--script", "a.script", "--screenshot", "a.png"}, Action::Run, ""},
        Case{{"--screenshot", "a.png"}, Action::Error, "needs --script"},
        Case{{"--script"}, Action::Error, "script"},
        Case{{"--script", ""}, Action::Error, "empty"},
        Case{{"--script", "a", "--screenshot", ""}, Action::Error, "empty"},
        Case{{"--script", "a", "--script", "b"},
             Action::Error,
             "more than once"},
        Case{{"--script", "a", "--screenshot", "a.png", "--screenshot=b.png"},
             Action::Error,
             "more than once"},
        Case{{"--frobnicate"}, Action::Error, "unknown option '--frobnicate'"},
        Case{{"-x=1"}, Action::Error, "unknown option '-x'"},
        Case{{"stray"}, Action::Error, "'stray'"},
        // Qt's own options pass, with their values.
        Case{{"-platform", "offscreen", "-style", "fusion", "-reverse"},
             Action::Run,
             ""},
        Case{{"-display", ":1", "--seed", "3"}, Action::Run, ""},
        Case{{"-platformpluginpath",
              "p",
              "-platformtheme",
              "t",
              "-plugin",
              "p",
              "-qmljsdebugger",
              "port:1",
              "-qwindowgeometry",
              "1x1",
              "-qwindowicon",
              "i",
              "-qwindowtitle",
              "t",
              "-session",
              "s",
              "-geometry",
              "1x1",
              "-name",
              "n",
              "-title",
              "t",
              "-stylesheet",
              "s",
              "-widgetcount",
              "-nograb",
              "-dograb",
              "-sync"},
             Action::Run,
             ""}));

TEST(CommandLine, keeps_the_values) {
  const CommandLine line = ParseCommandLine(
      {QStringLiteral("arrivals"), QStringLiteral("--seed"),
       QStringLiteral("42"), QStringLiteral("--script"), QStringLiteral("-"),
       QStringLiteral("--screenshot"), QStringLiteral("x.png")});
  ASSERT_EQ(line.action, Action::Run);
  EXPECT_EQ(line.options.seed, 42u);
  EXPECT_EQ(line.options.script, QStringLiteral("-"));
  EXPECT_EQ(line.options.screenshot, QStringLiteral("x.png"));
  EXPECT_EQ(VersionText(), QStringLiteral("arrivals 0.1.0\n"));
}

} // namespace
} // namespace arrivals
