#include "toolkit/Controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varkel {
namespace {

TEST(CheckBoxNotification, FiresOncePerRealChangeAndNeverForTheSameValue) {
    CheckBox box;
    int clicks = 0;
    box.OnClick = [&] { ++clicks; };
    box.SetValue(CheckBox::Checked);
    box.SetValue(CheckBox::Checked);
    EXPECT_EQ(clicks, 1);
    box.SetValue(CheckBox::Grayed);
    box.SetValue(CheckBox::Unchecked);
    EXPECT_EQ(clicks, 3);
}

TEST(TextFieldNotification, RunsNestedBeforeTheSetterReturns) {
    TextField field;
    std::vector<std::string> events;
    field.OnChange = [&] {
        events.push_back("change:" + ToUtf8(field.GetText()));
        if (field.GetText().size() > 1) {
            field.SetText(field.GetText().substr(0, 1));
            events.push_back("after nested set");
        }
    };
    field.SetText(u"ab");
    events.push_back("setter returned");
    EXPECT_EQ(events, (std::vector<std::string>{"change:ab", "change:a", "after nested set",
                                                "setter returned"}));
    field.SetText(u"a");
    EXPECT_EQ(events.size(), 4u);
}

TEST(ControlObserver, SeesEveryPropertyChangeButNotRepeats) {
    TextField field;
    std::vector<ControlProperty> seen;
    field.SetObserver([&](ControlProperty property) { seen.push_back(property); });
    field.SetText(u"x");
    field.SetBackColor(Colors::Attention);
    field.SetBackColor(Colors::Attention);
    field.SetEnabled(false);
    field.SetToolTipText(u"tip");
    EXPECT_EQ(seen, (std::vector<ControlProperty>{
                        ControlProperty::FieldText, ControlProperty::BackColor,
                        ControlProperty::Enabled, ControlProperty::ToolTipText}));
}

TEST(ControlObserver, IsToldBeforeTheNotificationRuns) {
    CheckBox box;
    std::vector<std::string> order;
    box.SetObserver([&](ControlProperty) { order.push_back("observer"); });
    box.OnClick = [&] { order.push_back("click"); };
    box.SetValue(CheckBox::Checked);
    EXPECT_EQ(order, (std::vector<std::string>{"observer", "click"}));
}

TEST(CheckBoxGroup, OneNotificationCarriesTheIndex) {
    CheckBoxGroup group(6);
    std::vector<int> indices;
    group.OnClick = [&](std::int16_t index) { indices.push_back(index); };
    group[4].SetValue(CheckBox::Checked);
    group[0].SetValue(CheckBox::Checked);
    group[4].SetValue(CheckBox::Checked);
    EXPECT_EQ(group.Count(), 6);
    EXPECT_EQ(indices, (std::vector<int>{4, 0}));
    EXPECT_THROW(group[6], Failure);
    EXPECT_THROW(group[-1], Failure);
}

TEST(ControlAccessCheck, AFailingControlThrowsOnReadAndWrite) {
    Label label;
    label.SetAccessCheck([] { throw Failure(5, u"test", u"broken"); });
    EXPECT_THROW(label.SetCaption(u"x"), Failure);
    EXPECT_THROW(static_cast<void>(label.Caption()), Failure);
}

TEST(OleColors, HaveTheSystemAndAttentionValues) {
    EXPECT_EQ(Colors::Window, 0x80000005u);
    EXPECT_EQ(Colors::ButtonFace, 0x8000000Fu);
    EXPECT_EQ(Colors::Attention, 0x0080FFFFu);
    EXPECT_TRUE(IsSystemColor(Colors::ButtonFace));
    EXPECT_EQ(SystemColorIndex(Colors::ButtonFace), 15);
    EXPECT_FALSE(IsSystemColor(Colors::Attention));
}

} // namespace
} // namespace varkel
