#pragma once
// Headless model of the page's controls. The model is the truth: a view mirrors it into real
// windows and feeds user edits back through the same setters.
//
// Setting Value/Text to a different value fires the control's notification synchronously,
// nested, before the setter returns; setting the value it already has fires nothing. That
// property is what ends the page's self-updating rules, so there is no re-entry guard.

#include "common/Failure.h"
#include "common/Text.h"
#include "toolkit/Colors.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace varkel {

enum class ControlProperty { Value, FieldText, Enabled, Caption, ToolTipText, BackColor };

class Control {
public:
    using Observer = std::function<void(ControlProperty)>;
    using AccessCheck = std::function<void()>;

    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    // A view follows every property change through this hook (one observer per control).
    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    // Called before every property access; it may throw a Failure. Lets tests stand in for a
    // control whose properties cannot be read or set.
    void SetAccessCheck(AccessCheck check) { accessCheck_ = std::move(check); }

    // What every control has. A frame is never disabled by the page, but may be.
    bool Enabled() const {
        CheckAccess();
        return enabled_;
    }
    void SetEnabled(bool enabled) { Assign(enabled_, enabled, ControlProperty::Enabled); }
    const Text& ToolTipText() const {
        CheckAccess();
        return toolTip_;
    }
    void SetToolTipText(const Text& tip) { Assign(toolTip_, tip, ControlProperty::ToolTipText); }

    // What the control's window shows as its text: a text field's text, any other's caption.
    virtual const Text& ShownText() const = 0;
    // The state a check box shows; any other control shows none (Unchecked).
    virtual int ShownValue() const { return 0; }
    // The background the control paints, where it has one of its own.
    virtual std::optional<OleColor> OwnBackColor() const { return std::nullopt; }

protected:
    void CheckAccess() const {
        if (accessCheck_) {
            accessCheck_();
        }
    }
    void Changed(ControlProperty property) const {
        if (observer_) {
            observer_(property);
        }
    }
    template <typename T> void Assign(T& field, const T& value, ControlProperty property) {
        CheckAccess();
        if (field == value) {
            return;
        }
        field = value;
        Changed(property);
    }

private:
    Observer observer_;
    AccessCheck accessCheck_;
    bool enabled_ = true;
    Text toolTip_;
};

// The caption, shared by check boxes, labels and frames.
class CaptionedControl : public Control {
public:
    const Text& Caption() const {
        CheckAccess();
        return caption_;
    }
    void SetCaption(const Text& caption) { Assign(caption_, caption, ControlProperty::Caption); }
    const Text& ShownText() const override { return Caption(); }

private:
    Text caption_;
};

class CheckBox : public CaptionedControl {
public:
    static constexpr int Unchecked = 0;
    static constexpr int Checked = 1;
    static constexpr int Grayed = 2;

    int Value() const {
        CheckAccess();
        return value_;
    }
    // Fires OnClick (after observers) when the value changes.
    void SetValue(int value);
    int ShownValue() const override { return Value(); }

    std::function<void()> OnClick;

private:
    int value_ = Unchecked;
};

// An indexed group of check boxes with one click notification carrying the index.
class CheckBoxGroup {
public:
    explicit CheckBoxGroup(int count);
    CheckBoxGroup(const CheckBoxGroup&) = delete;
    CheckBoxGroup& operator=(const CheckBoxGroup&) = delete;

    int Count() const { return static_cast<int>(boxes_.size()); }
    // Throws "Subscript out of range" for an index outside 0..Count()-1.
    CheckBox& operator[](int index);
    const CheckBox& operator[](int index) const;

    std::function<void(std::int16_t index)> OnClick;

private:
    std::vector<std::unique_ptr<CheckBox>> boxes_;
};

class TextField : public Control {
public:
    const Text& GetText() const {
        CheckAccess();
        return text_;
    }
    // Fires OnChange (after observers) when the text changes.
    void SetText(const Text& text);
    const Text& ShownText() const override { return GetText(); }
    OleColor BackColor() const {
        CheckAccess();
        return backColor_;
    }
    void SetBackColor(OleColor color) { Assign(backColor_, color, ControlProperty::BackColor); }
    std::optional<OleColor> OwnBackColor() const override { return BackColor(); }

    std::function<void()> OnChange;

private:
    Text text_;
    OleColor backColor_ = Colors::Window;
};

class Label : public CaptionedControl {
public:
    OleColor BackColor() const {
        CheckAccess();
        return backColor_;
    }
    void SetBackColor(OleColor color) { Assign(backColor_, color, ControlProperty::BackColor); }
    std::optional<OleColor> OwnBackColor() const override { return BackColor(); }

private:
    OleColor backColor_ = Colors::ButtonFace;
};

class Frame : public CaptionedControl {};

} // namespace varkel
