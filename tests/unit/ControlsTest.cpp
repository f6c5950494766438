#include "toolkit/Controls.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace varkel {
namespace {

// Notifications fire synchronously, nested, once per real change, and never for the same value;
// the observer hears of a change before the notification runs.
TEST(Controls, NotifyOncePerRealChangeNestedAfterTheObserver) {
    TextField field;
    std::vector<std::string> events;
    field.SetObserver([&](ControlProperty) { events.push_back("observer"); });
    field.OnChange = [&] {
        events.push_back("change:" + ToUtf8(field.GetText()));
        if (field.GetText().size() > 1) {
            field.SetText(field.GetText().substr(0, 1));
        }
    };
    field.SetText(u"ab");
    field.SetText(u"a");
    field.SetBackColor(Colors::Attention);
    field.SetBackColor(Colors::Attention);
    EXPECT_EQ(events, (std::vector<std::string>{"observer", "change:ab", "observer", "change:a",
                                                "observer"}));
}

TEST(Controls, AnIndexOutsideTheGroupOrAFailingAccessCheckRefusesTheCall) {
    CheckBoxGroup group(6);
    EXPECT_THROW(group[-1], Failure);
    EXPECT_THROW(std::as_const(group)[6], Failure);
    const auto broken = [] { throw Failure(5, u"test", u"broken"); };
    TextField field;
    group[1].SetAccessCheck(broken);
    field.SetAccessCheck(broken);
    EXPECT_THROW(group[1].SetValue(CheckBox::Unchecked), Failure) << "even to the value it has";
    EXPECT_THROW(field.SetText(u""), Failure) << "even to the text it holds";
}

} // namespace
} // namespace varkel
