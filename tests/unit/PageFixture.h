#pragma once
// A page of interface if01 started on fake ports, with the log lines of start-up cleared away.

#include "common/ThreadState.h"
#include "page/Varkel1Page.h"
#include "support/Fakes.h"
#include "support/MemoryTables.h"

#include <gtest/gtest.h>

namespace varkel {
using Rows = std::vector<std::pair<Text, Text>>; // an outgoing list's names and values

// GoogleMock's string matchers for the page's UTF-16 texts.
MATCHER_P(StartsWith, prefix, "starts with " + ToUtf8(prefix)) {
    return Text(arg).rfind(prefix, 0) == 0;
}
MATCHER_P(HasSubstr, part, "contains " + ToUtf8(part)) {
    return Text(arg).find(part) != Text::npos;
}

// A call that throws a Failure of that number (`::testing::_`: any) and source.
template <typename Number> auto Raises(Number number, const Text& source) {
    return ::testing::Throws<Failure>(::testing::AllOf(::testing::Field(&Failure::Number, number),
                                                       ::testing::Field(&Failure::Source, source)));
}

// The log line of a failure from `source` reported at `method`, on the fixture's thread.
inline testing::LogLine ErrorLine(const Text& method, const Text& source, const Text& error) {
    return {u"Error in method: " + method + u", Source: " + source + u", Error: " + error,
            u"QX NUX> if01> "};
}

class PageFixture : public ::testing::Test {
protected:
    void SetUp() override {
        CurrentThreadState() = ThreadState{};
        fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
        page.UserControl_Initialize();
        fake.log.lines.clear();
    }
    // The message of the only box shown so far.
    const Text& OnlyBox() {
        EXPECT_EQ(fake.shown.size(), 1u);
        return fake.shown.at(0).Message;
    }
    testing::FakePlatform fake;
    Varkel1Page page{fake.ports};
};

} // namespace varkel
