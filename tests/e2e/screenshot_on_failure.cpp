// Linked into the test program only: leaves a picture of the screen as it
// was at a test's first failed check, named failed-<suite>.<test>.bmp.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "driver.h"

namespace {

// Leaves a picture of the screen as it was at a test's first failed check.
class ScreenShotOnFailure : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { taken_ = false; }
    void OnTestPartResult(const testing::TestPartResult& result) override
    {
        if (!result.failed() || taken_)
            return;
        taken_ = true;
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "failed";
        if (test)
            name += std::string("-") + test->test_suite_name() + "." + test->name();
        for (char& c : name)
            if (c == '/' || c == '\\' || c == ':')
                c = '_';
        SaveArtefact(GrabScreen(), name);
    }
    bool taken_ = false;
};

const bool screenShotListenerAdded = [] {
    testing::UnitTest::GetInstance()->listeners().Append(
        std::make_unique<ScreenShotOnFailure>().release());
    return true;
}();

}  // namespace
