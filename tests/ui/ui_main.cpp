// Runs the UI tests; saves a screenshot of the viewer window at every failure into the
// folder named by TOMELET_SCREENSHOTS (default: screenshots\ in the working folder).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/ui/viewer_harness.h"

namespace {

class ScreenshotOnFailure : public testing::EmptyTestEventListener {
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
  testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
  return RUN_ALL_TESTS();
}
