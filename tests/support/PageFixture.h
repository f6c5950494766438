#pragma once
// A page started on fake ports, with the boxes and log lines of start-up cleared away.

#include "common/ThreadState.h"
#include "page/Varkel1Page.h"
#include "platform/MemoryTables.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <memory>

namespace varkel::testing {

class PageFixture : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentThreadState() = ThreadState{};
        fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
        page = std::make_unique<Varkel1Page>(fake.ports);
        page->UserControl_Initialize();
        ASSERT_TRUE(fake.boxes.shown.empty()) << "start-up showed a box";
        fake.log.lines.clear();
    }

    void TearDown() override {
        EXPECT_EQ(fake.boxes.unexpected, 0u) << "a message box nobody expected was shown";
        EXPECT_EQ(fake.boxes.Pending(), 0u) << "an expected message box never came";
    }

    // The text of every box shown so far.
    std::vector<Text> BoxTexts() const {
        std::vector<Text> texts;
        for (const auto& box : fake.boxes.shown) {
            texts.push_back(box.Message);
        }
        return texts;
    }

    FakePlatform fake;
    std::unique_ptr<Varkel1Page> page;
};

} // namespace varkel::testing
