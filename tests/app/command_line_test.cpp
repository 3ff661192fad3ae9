#include "app/command_line.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/support/row_name.h"

namespace arrivals {
namespace {

using Action = CommandLine::Action;

struct Case {
  std::vector<const char *> args; // after the program's name
  Action action;
  const char *error; // a part of the error line, for Action::Error
  double zoom = 1;   // for Action::Run
};

class command_line_table : public ::testing::TestWithParam<Case> {};

TEST_P(command_line_table, reads_options_as_documented) {
  const Case &c = GetParam();
  std::vector<std::string> arguments{"arrivals"};
  for (const char *a : c.args)
    arguments.emplace_back(a);
  const CommandLine line = ParseCommandLine(arguments);
  EXPECT_EQ(line.action, c.action) << qPrintable(line.error);
  if (c.action == Action::Error) {
    EXPECT_TRUE(line.error.contains(QString::fromUtf8(c.error)))
        << qPrintable(line.error);
  }
  if (c.action == Action::Run) {
    EXPECT_EQ(line.options.zoom, c.zoom);
  }
  EXPECT_FALSE(line.error.contains(QLatin1Char('\n')));
}

INSTANTIATE_TEST_SUITE_P(
    table, command_line_table,
    ::testing::Values(
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
        Case{{"--record", "s.script", "--seed", "1"}, Action::Run, ""},
        Case{{"--record", ""}, Action::Error, "--record: empty"},
        Case{{"--record", "a", "--record=b"}, Action::Error, "more than once"},
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
        Case{{"--platform", "offscreen"}, Action::Run, ""},
        Case{{"--\xff\n"}, Action::Error, "unknown option '--\\xff\\x0a'"},
        // --zoom: a decimal from 0.5 to 4, "." whatever the locale.
        Case{{"--zoom", "2"}, Action::Run, "", 2},
        Case{{"--zoom=1.25"}, Action::Run, "", 1.25},
        Case{{"--zoom", ".5"}, Action::Run, "", 0.5},
        Case{{"--zoom", "4.000"}, Action::Run, "", 4},
        Case{{"--zoom", "1.1"}, Action::Run, "", 1.1},
        Case{{"--zoom", "0.49"}, Action::Error, "'0.49' is not a decimal"},
        Case{{"--zoom", "4.01"}, Action::Error, "from 0.5 to 4"},
        Case{{"--zoom", "40"}, Action::Error, "'40'"},
        Case{{"--zoom", "1,5"}, Action::Error, "'1,5'"},
        Case{{"--zoom", "2e0"}, Action::Error, "'2e0'"},
        Case{{"--zoom", "+2"}, Action::Error, "'+2'"},
        Case{{"--zoom", " 2"}, Action::Error, "' 2'"},
        Case{{"--zoom", "."}, Action::Error, "'.'"},
        Case{{"--zoom", "1.5."}, Action::Error, "'1.5.'"},
        Case{{"--zoom", "inf"}, Action::Error, "'inf'"},
        Case{{"--zoom", ""}, Action::Error, "''"},
        Case{{"--zoom", "2\n"}, Action::Error, "'2\\x0a'"},
        Case{{"--zoom"}, Action::Error, "zoom"},
        Case{{"--zoom", "2", "--zoom", "3"}, Action::Error, "more than once"},
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
             ""}),
    [](const ::testing::TestParamInfo<Case> &row) {
      std::string about;
      for (const char *a : row.param.args)
        about += std::string(a) + ' ';
      return testing::RowName(row.index, about);
    });

TEST(command_line, keeps_the_values) {
  const CommandLine line = ParseCommandLine(
      {"arrivals", "--seed", "42", "--script", "-", "--screenshot",
       "\xff\xc3\xa9.png", "--record", "r\xff.script"});
  ASSERT_EQ(line.action, Action::Run);
  EXPECT_EQ(line.options.seed, 42u);
  EXPECT_EQ(line.options.script, "-");
  EXPECT_EQ(line.options.screenshot, "\xff\xc3\xa9.png"); // byte for byte
  EXPECT_EQ(line.options.record, "r\xff.script");
  EXPECT_EQ(VersionText(), QStringLiteral("arrivals 0.1.0\n"));
}

} // namespace
} // namespace arrivals
