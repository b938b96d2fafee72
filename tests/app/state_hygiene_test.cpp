// One state serves every run of a session, as the window keeps it. Whatever an earlier
// run left in it (a larger problem, an error half-way, a zero pivot), a run gives
// exactly the messages and reports it gives in a fresh state.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/text_number.h"
#include "support/run_helpers.h"
#include "support/temp_dir.h"

namespace velquin {
namespace {

using namespace test_support;

// The messages and the three reports of a run (a completed run shows no message).
std::pair<std::string, std::string> Outputs(Module_Common& C, const ControlValues& controls) {
  TempDir dir;
  return {RunIn(C, controls, dir.path()).messages, AllReports(dir.path())};
}

// Each small run after each earlier run (which must show a message starting as given,
// none when empty) gives what it gives in a fresh state.
void ExpectSmallRunsAsInAFreshState(
    const std::vector<std::pair<ControlValues, std::string>>& earlier_runs) {
  const std::vector<ControlValues> small_runs = {
      WithCirculation(CircleControls("8", "10"), true),
      WithCirculation(CircleControls("8", "10"), false), CircleControls("8"),
      WithCirculation(Naca(CircleControls("8", "4")), false),
      WithCirculation(CircleControls("3", "-7"), true)};
  for (const ControlValues& small : small_runs) {
    const auto fresh = Outputs(*NewState(), small);
    ASSERT_EQ(fresh.first, "");
    auto C = NewState();
    for (const auto& [earlier, message] : earlier_runs) {
      const std::string shown = Outputs(*C, earlier).first;
      // Every message of the command line starts with the program's name.
      ASSERT_TRUE(message.empty() ? shown.empty()
                                  : shown.rfind("velquin2ds:", 0) == 0 &&
                                        shown.find(message) == std::string("velquin2ds:").size() +
                                                                   (message.front() == ' ' ? 0 : 1))
          << shown;
      EXPECT_EQ(Outputs(*C, small), fresh)
          << small.Text_NP << " panels after " << message << earlier.Text_NP << " panels at "
          << earlier.Text_AlfaD;
    }
  }
}

TEST(StateHygiene, SmallRunAfterALargeOneGivesTheFreshReports) {
  ExpectSmallRunsAsInAFreshState({{WithCirculation(CircleControls("198", "5"), true), ""},
                                  {WithCirculation(CircleControls("198", "5"), false), ""},
                                  {CircleControls("199", "-3"), ""},
                                  {WithCirculation(Naca(CircleControls("198", "2")), false), ""}});
}

TEST(StateHygiene, RunAfterAnErrorRunGivesTheFreshReports) {
  // The vortex on the control point of panel 1: a division by zero half-way through the
  // assembly. Two NACA panels with the vortex distribution: a zero pivot.
  auto probe = NewState();
  Outputs(*probe, ControlValues{});
  ControlValues vortex_on_panel = WithCirculation(CircleControls("8", "10"), true);
  vortex_on_panel.Text_Xv = NumberText(probe->Xc(1));
  vortex_on_panel.Text_Yv = NumberText(probe->Yc(1));
  ExpectSmallRunsAsInAFreshState(
      {{vortex_on_panel, "Division by zero: "},
       {WithCirculation(Naca(CircleControls("2")), false), " s\u0131f\u0131r diyagonal"},
       {WithCirculation(CircleControls("198", "1e308"), true), "Overflow: "},
       {WithCirculation(CircleControls("199"), true), "Subscript out of range: "},
       {CircleControls("1e400"), "Overflow: "}});
}

}  // namespace
}  // namespace velquin
