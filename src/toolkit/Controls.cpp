#include "toolkit/Controls.h"

namespace varkel {

void CheckBox::SetValue(int value) {
    CheckAccess();
    if (value_ == value) {
        return;
    }
    value_ = value;
    Changed(ControlProperty::Value);
    if (OnClick) {
        OnClick();
    }
}

CheckBoxGroup::CheckBoxGroup(int count) {
    boxes_.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        auto box = std::make_unique<CheckBox>();
        box->OnClick = [this, index] {
            if (OnClick) {
                OnClick(static_cast<std::int16_t>(index));
            }
        };
        boxes_.push_back(std::move(box));
    }
}

CheckBox& CheckBoxGroup::operator[](int index) {
    if (index < 0 || index >= Count()) {
        throw Failures::SubscriptOutOfRange();
    }
    return *boxes_[static_cast<std::size_t>(index)];
}

const CheckBox& CheckBoxGroup::operator[](int index) const {
    if (index < 0 || index >= Count()) {
        throw Failures::SubscriptOutOfRange();
    }
    return *boxes_[static_cast<std::size_t>(index)];
}

void TextField::SetText(const Text& text) {
    CheckAccess();
    if (text_ == text) {
        return;
    }
    text_ = text;
    Changed(ControlProperty::FieldText);
    if (OnChange) {
        OnChange();
    }
}

} // namespace varkel
