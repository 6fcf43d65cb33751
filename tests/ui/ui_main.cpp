// Runs the UI tests. Every viewer run reads the real settings key at its start, so each
// test starts and ends with a clean registry, whatever an earlier, aborted run left there;
// a screenshot of the viewer window is saved at every failure into the folder named by
// TOMELET_SCREENSHOTS (default: screenshots\ in the working folder).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/ui/viewer_harness.h"

namespace {

class UiTestListener : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { tomelet::test::ClearRegistry(); }
  void OnTestEnd(const testing::TestInfo&) override { tomelet::test::ClearRegistry(); }
  void OnTestPartResult(const testing::TestPartResult& result) override {
    auto* run = tomelet::test::ViewerRun::Current();
    if (!result.failed() || !run || !IsWindow(run->window())) return;
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + "." + info->name() + ".png";
    run->Screenshot(tomelet::test::ScreenshotPath(std::wstring(name.begin(), name.end())));
  }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new UiTestListener);
  return RUN_ALL_TESTS();
}
