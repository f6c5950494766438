// A random sequence of user edits (clicks, typing, pasting, deleting), with loads and saves
// in between, followed by GetAllArgumentsSafeArray into a list of some shape. Every edit must
// leave the page exactly as the editing rules say and show exactly their boxes; no step may
// loop (each has a budget of control changes and boxes); and generation must append exactly the
// rows, ask exactly the questions and write exactly the log lines that the fields shown before
// it call for. Every row it appends carries a name that starts with "/" or "-".
//
// Input: an options byte (bit 0: the log fails; bit 1: a well-formed load first; bits 2 to 5:
// the shape of the final list), the optional table, an operation count, the operations, then
// the answers to the final generation's questions. Boxes take their answers from wherever the
// input has got to.

#include "Check.h"
#include "FuzzInput.h"
#include "FuzzPage.h"
#include "FuzzTables.h"
#include "ReferenceTokenizer.h"

#include "common/ErrorReporting.h"

#include <array>
#include <optional>

namespace {

using namespace varkel;
using namespace varkel::fuzzing;

const Text GenerateLocation = PageLocation(u"in GetAllArgumentsSafeArray() of ");
const Text AddLocation = u" in CommonNUXControlCode.AddArgumentToOutGoingSafeArray";
const Text PromptLocation = u" in Sub CommonNUXControlCode.PromptUserAboutSavingIncorrectArgument";
const Text TokenizerSource = u"CommonNUXControlCode.ParseCommmandLineArguments";
const Text TokenizerLocation = u" in CommonNUXControlCode.ParseCommmandLineArguments";
const Text PageTitleText = u"QX Interface for GSE D/3 DBA NUX Control";
constexpr int MaxOperations = 48;

using Rows = std::vector<std::pair<Text, Text>>;

enum class ListShape {
    OneEmptyRow,
    OneEmptyRowAgain,
    OneNamedRow,
    ThreeEmptyRows,
    FixedSize,
    Locked,
    ThreeColumns,
    RowsFromOne,
    NoRows,
    OneDimension,
    Count
};

MemoryArgumentList MakeList(ListShape shape) {
    switch (shape) {
    case ListShape::OneNamedRow: {
        auto list = MemoryArgumentList::WithRows(1);
        list.Set(0, 0, u"/EXISTING");
        list.Set(1, 0, u"1");
        return list;
    }
    case ListShape::ThreeEmptyRows:
        return MemoryArgumentList::WithRows(3);
    case ListShape::FixedSize: {
        auto list = MemoryArgumentList::WithRows(1);
        list.SetFixedSize(true);
        return list;
    }
    case ListShape::Locked: {
        auto list = MemoryArgumentList::WithRows(1);
        list.SetLocked(true);
        return list;
    }
    case ListShape::ThreeColumns:
        return MemoryArgumentList({{0, 2}, {0, 0}});
    case ListShape::RowsFromOne:
        return MemoryArgumentList({{0, 1}, {1, 1}});
    case ListShape::NoRows:
        return MemoryArgumentList::WithRows(0);
    case ListShape::OneDimension:
        return MemoryArgumentList({{0, 1}});
    case ListShape::OneEmptyRow:
    case ListShape::OneEmptyRowAgain:
    case ListShape::Count:
        break;
    }
    return MemoryArgumentList::WithRows(1);
}

// What generation may do to the list, as a host's array allows it.
class ListModel {
public:
    ListModel(const MemoryArgumentList& list, ListShape shape) : rows(list.Rows()) {
        shapeOk_ = list.Dimensions() == 2 && list.LowerBound(1) == 0 && list.UpperBound(1) == 1 &&
                   list.LowerBound(2) == 0 && list.UpperBound(2) >= 0;
        canGrow_ = shape != ListShape::FixedSize && shape != ListShape::Locked;
    }
    // The failure number, if the append fails.
    std::optional<std::int32_t> Append(const Text& name, const Text& value) {
        if (!shapeOk_) {
            return 9;
        }
        if (rows.size() > 1 || !rows.back().first.empty()) {
            if (!canGrow_) {
                return 10;
            }
            rows.emplace_back();
        }
        rows.back() = {name, value};
        return std::nullopt;
    }
    Rows rows;

private:
    bool shapeOk_ = false;
    bool canGrow_ = false;
};

// Something generation does that shows or writes: a question, a log write (a box of its own
// when the log fails) or an error box.
struct Event {
    enum class Kind { Question, LogLine, LogLineStart, ErrorBox } kind;
    Text text; // the question, the log line or its start, or the error box's location
    std::int32_t number = 0;
};

struct FieldsShown {
    bool nullStrings, databaseUpdates, hardwareShutdown, sequentialDB;
    Text level;
    struct Pair {
        bool checked;
        OleColor color;
        Text text;
    } delimiter, glf, output;
    Text additional;
    bool dirty;
};

FieldsShown Snapshot(Varkel1Page& page) {
    const auto pair = [](CheckBox& box, TextField& field) {
        return FieldsShown::Pair{box.Value() == CheckBox::Checked, field.BackColor(),
                                 field.GetText()};
    };
    return {page.chkNullStrings.Value() == 1,
            page.chkDatabaseUpdates.Value() == 1,
            page.chkHardwareShutdown.Value() == 1,
            page.chkSequentialDB.Value() == 1,
            page.lblDBLevel.Caption(),
            pair(page.chkDelimiter, page.txtDelimiter),
            pair(page.chkGLF, page.txtGLFerr),
            pair(page.chkDigital, page.txtOutput),
            page.txtAdditional.GetText(),
            page.ControlHasUnsavedChanges()};
}

class GenerationModel {
public:
    GenerationModel(ListModel& list, std::vector<MessageBoxAnswer> answers)
        : list_(list), answers_(std::move(answers)) {}

    void Run(const FieldsShown& shown) {
        try {
            if (shown.nullStrings) {
                Append(u"/BL", u"");
            }
            if (shown.databaseUpdates) {
                Append(u"/CH", u"");
            }
            if (!shown.level.empty() && shown.level != u"0") {
                Append(u"/DB", shown.level);
            }
            if (shown.hardwareShutdown) {
                Append(u"/HW", u"");
            }
            ValueSwitch(u"/ITDELIM", shown.delimiter,
                        u"Invalid value given for InstrumentTag Delimiter", 0);
            ValueSwitch(u"/KS", shown.glf, u"Invalid value given for GLF errors", 1);
            if (shown.sequentialDB) {
                Append(u"/NOSEQ", u"");
            }
            ValueSwitch(u"/VAL", shown.output,
                        u"Invalid value given for Output to DCS with QX digital state", 2);
            // Switches of the text that are not in the list make the answer 0, without a box.
            completed = Additional(shown.additional);
        } catch (const Failure& failure) {
            events.push_back({Event::Kind::ErrorBox, GenerateLocation, failure.Number});
            events.push_back({Event::Kind::LogLineStart, u"Error in method: " + GenerateLocation});
        }
    }

    std::vector<Event> events;
    bool completed = false;
    bool refused[3] = {false, false, false}; // the value switches that were asked about

private:
    // Throws the failure on, as the routine does, after its log line.
    void Append(const Text& name, const Text& value, const Text& location = AddLocation) {
        if (const auto number = list_.Append(name, value)) {
            const Text source = OwnSource + AddLocation;
            events.push_back({Event::Kind::LogLineStart, u"Error in method: " + source});
            if (location != AddLocation) {
                events.push_back(
                    {Event::Kind::LogLineStart, u"Error in method: " + source + location});
                throw Failure(*number, source + location, {});
            }
            throw Failure(*number, source, {});
        }
    }

    void ValueSwitch(const Text& name, const FieldsShown::Pair& pair, const Text& reason,
                     int index) {
        if (!pair.checked) {
            return;
        }
        if (pair.color == Colors::Window) {
            Append(name, pair.text);
            return;
        }
        const Text incorrect = u"Incorrect " + name + u" value specified: " + pair.text;
        events.push_back({Event::Kind::Question,
                          incorrect + u". \rWould you like to include the incorrectly specified "
                                      u"argument anyway?  \rClick Yes to include the incorrect "
                                      u"argument, or No to omit the incorrect argument. "});
        const bool yes =
            nextAnswer_ >= answers_.size() || answers_[nextAnswer_] != MessageBoxAnswer::No;
        ++nextAnswer_;
        if (yes) {
            Append(name, pair.text, PromptLocation);
            events.push_back({Event::Kind::LogLine, incorrect});
        } else {
            events.push_back({Event::Kind::LogLine, incorrect + u"; argument omitted. " + reason});
        }
        refused[index] = true;
    }

    // Whether every switch of the text was written.
    bool Additional(const Text& text) {
        if (text.empty()) {
            return true;
        }
        const ReferenceSplit split = ReferenceParse(text, false);
        switch (split.outcome) {
        case ReferenceSplit::Outcome::NoSeparator:
            events.push_back({Event::Kind::LogLineStart, u"Error in method: " + TokenizerSource});
            events.push_back({Event::Kind::LogLineStart,
                              u"Error in method: " + TokenizerSource + TokenizerLocation});
            return false;
        case ReferenceSplit::Outcome::TooManyTokens:
            events.push_back(
                {Event::Kind::LogLineStart, u"Error in method: " + OwnSource + TokenizerLocation});
            return false;
        case ReferenceSplit::Outcome::Table:
            break;
        }
        bool complete = true;
        for (std::size_t row = 1; row < split.rows.size(); ++row) {
            if (split.rows[row].Name.empty()) {
                continue; // a positional word between switches is not written
            }
            try {
                Append(split.rows[row].Name, split.rows[row].Value);
            } catch (const Failure&) {
                complete = false; // logged; the next row is still tried
            }
        }
        return complete;
    }

    ListModel& list_;
    std::vector<MessageBoxAnswer> answers_;
    std::size_t nextAnswer_ = 0;
};

std::string ShowRows(const Rows& rows) {
    std::string out;
    for (const auto& [name, value] : rows) {
        out += "\n    " + Show(name) + " = " + Show(value);
    }
    return out;
}

void GenerateAndCheck(FuzzPage& fuzzPage, ListShape shape, bool logFails) {
    auto& page = fuzzPage.page();
    auto& fake = fuzzPage.fake();
    MemoryArgumentList list = MakeList(shape);
    const Rows before = list.Rows();
    ListModel model(list, shape);
    const FieldsShown shown = Snapshot(page);
    const std::size_t firstBox = fake.boxes.shown.size();
    const std::size_t firstLine = fake.log.lines.size();
    fuzzPage.StartOperation(64 + shown.additional.size() * 2, 500);

    const std::int32_t result = page.GetAllArgumentsSafeArray(list);

    std::vector<MessageBoxAnswer> answers;
    for (std::size_t i = firstBox; i < fake.boxes.shown.size(); ++i) {
        if (fake.boxes.shown[i].request.Buttons == MessageBoxButtons::YesNo) {
            answers.push_back(fake.boxes.shown[i].answer);
        }
    }
    GenerationModel expected(model, answers);
    expected.Run(shown);

    // Rows.
    const Rows after = list.Rows();
    FUZZ_CHECK(after == model.rows,
               "rows differ\n  got:" + ShowRows(after) + "\n  expected:" + ShowRows(model.rows));
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i < before.size() && after[i] == before[i]) {
            continue; // handed in that way
        }
        const Text& name = after[i].first;
        FUZZ_CHECK(!name.empty() && (name[0] == u'/' || name[0] == u'-'),
                   "generated row " + std::to_string(i) + " has the name " + Show(name));
    }

    // Boxes and log lines, in order.
    std::vector<Event> boxes;
    std::vector<Event> lines;
    for (const auto& event : expected.events) {
        if (event.kind == Event::Kind::Question || event.kind == Event::Kind::ErrorBox) {
            boxes.push_back(event);
            continue;
        }
        if (logFails) {
            boxes.push_back({Event::Kind::ErrorBox, WriteToLogFileLocation, 48});
        } else {
            lines.push_back(event);
        }
    }
    std::string listing;
    for (std::size_t i = firstBox; i < fake.boxes.shown.size(); ++i) {
        listing += "\n    shown: " + Show(fake.boxes.shown[i].request.Message.substr(0, 90));
    }
    for (const auto& box : boxes) {
        listing += "\n    expected: " + Show(box.text.substr(0, 90));
    }
    FUZZ_CHECK(fake.boxes.shown.size() - firstBox == boxes.size(), "wrong boxes:" + listing);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto& box = fake.boxes.shown[firstBox + i].request;
        const bool matches =
            boxes[i].kind == Event::Kind::Question
                ? box.Message == boxes[i].text && box.Buttons == MessageBoxButtons::YesNo &&
                      box.Icon == MessageBoxIcon::None && box.Title == PageTitleText
                : IsErrorBox(box) && ErrorBoxLocation(box) == boxes[i].text &&
                      ErrorBoxNumber(box) == boxes[i].number;
        FUZZ_CHECK(matches, "box " + std::to_string(i) + " differs:" + listing);
    }
    const std::size_t written = fake.log.lines.size() - firstLine;
    std::string logListing;
    for (std::size_t i = firstLine; i < fake.log.lines.size(); ++i) {
        logListing += "\n    written: " + Show(fake.log.lines[i].message);
    }
    for (const auto& line : lines) {
        logListing += "\n    expected: " + Show(line.text);
    }
    FUZZ_CHECK(written == lines.size(), "wrong log lines:" + logListing);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Text& message = fake.log.lines[firstLine + i].message;
        FUZZ_CHECK(lines[i].kind == Event::Kind::LogLine ? message == lines[i].text
                                                         : message.starts_with(lines[i].text),
                   "log line " + std::to_string(i) + " differs:" + logListing);
    }

    // Result and fields.
    if (expected.completed) {
        FUZZ_CHECK(result == 1, "a completed generation returned " + std::to_string(result));
        FUZZ_CHECK(!page.ControlHasUnsavedChanges(), "a completed generation left the page dirty");
    } else {
        FUZZ_CHECK(result == 0, "an incomplete generation returned " + std::to_string(result));
        FUZZ_CHECK(!shown.dirty || page.ControlHasUnsavedChanges(),
                   "a failed generation cleared the dirty flag");
    }
    const FieldsShown now = Snapshot(page);
    FUZZ_CHECK(now.nullStrings == shown.nullStrings &&
                   now.databaseUpdates == shown.databaseUpdates &&
                   now.hardwareShutdown == shown.hardwareShutdown &&
                   now.sequentialDB == shown.sequentialDB && now.level == shown.level &&
                   now.additional == shown.additional,
               "generation changed a field it only reads");
    const FieldsShown::Pair* pairs[][2] = {
        {&shown.delimiter, &now.delimiter}, {&shown.glf, &now.glf}, {&shown.output, &now.output}};
    for (int i = 0; i < 3; ++i) {
        const auto& [wasShown, isNow] = pairs[i];
        if (expected.refused[i]) {
            FUZZ_CHECK(!isNow->checked && isNow->text.empty() && isNow->color == Colors::ButtonFace,
                       "a refused value switch " + std::to_string(i) + " is still on");
        } else if (expected.completed) {
            FUZZ_CHECK(isNow->checked == wasShown->checked && isNow->text == wasShown->text &&
                           isNow->color == wasShown->color,
                       "generation changed value switch " + std::to_string(i));
        }
    }
    fuzzPage.CheckInvariants();
}

enum class Operation {
    Click,
    SetBox,
    Paste,
    TypeAtEnd,
    Insert,
    Delete,
    Clear,
    Save,
    Load,
    PasteLong,
    Count
};

constexpr int BoxCount = 13; // four flags, three value switches, six debug boxes
constexpr int FieldCount = 4;
constexpr int FlagBoxes = 4;
constexpr int FirstDebugBox = 7;
constexpr int TestingBox = FirstDebugBox + 5;

CheckBox& BoxAt(Varkel1Page& page, int index) {
    switch (index) {
    case 0:
        return page.chkDatabaseUpdates;
    case 1:
        return page.chkHardwareShutdown;
    case 2:
        return page.chkNullStrings;
    case 3:
        return page.chkSequentialDB;
    case 4:
        return page.chkDelimiter;
    case 5:
        return page.chkGLF;
    case 6:
        return page.chkDigital;
    default:
        return page.chkDebug[index - FirstDebugBox];
    }
}

TextField& FieldAt(Varkel1Page& page, int index) {
    switch (index) {
    case 0:
        return page.txtDelimiter;
    case 1:
        return page.txtGLFerr;
    case 2:
        return page.txtOutput;
    default:
        return page.txtAdditional;
    }
}

// Everything an edit can change.
struct PageState {
    struct Field {
        Text text;
        bool enabled;
        OleColor color;
        bool operator==(const Field&) const = default;
    };
    std::array<int, BoxCount> boxes{};
    std::array<Field, FieldCount> fields{};
    Text level;
    bool dirty = false;
    bool operator==(const PageState&) const = default;
};

PageState Capture(Varkel1Page& page) {
    PageState state;
    for (int i = 0; i < BoxCount; ++i) {
        state.boxes[i] = BoxAt(page, i).Value();
    }
    for (int i = 0; i < FieldCount; ++i) {
        auto& field = FieldAt(page, i);
        state.fields[i] = {field.GetText(), field.Enabled(), field.BackColor()};
    }
    state.level = page.lblDBLevel.Caption();
    state.dirty = page.ControlHasUnsavedChanges();
    return state;
}

std::string Describe(const PageState& state) {
    std::string out = "boxes";
    for (const int value : state.boxes) {
        out += " " + std::to_string(value);
    }
    for (const auto& field : state.fields) {
        out += "\n      field " + Show(field.text.substr(0, 40)) + " (" +
               std::to_string(field.text.size()) + ")" +
               (field.enabled ? " enabled" : " disabled") + " colour " +
               std::to_string(field.color);
    }
    return out + "\n      level " + Show(state.level) + (state.dirty ? " dirty" : " clean");
}

// What an edit must do: the page's state afterwards and the boxes it shows on the way.
class EditRules {
public:
    // `questionAnswer`: the answer the testing question got, if it was shown. With `logFails`,
    // each error report is followed by the box for its log line that could not be written.
    EditRules(PageState state, MessageBoxAnswer questionAnswer, bool logFails)
        : state_(std::move(state)), questionAnswer_(questionAnswer), logFails_(logFails) {}

    void SetBox(int index, int value) {
        if (state_.boxes[index] == value) {
            return; // no click
        }
        state_.boxes[index] = value;
        if (index < FlagBoxes) {
            state_.dirty = true;
        } else if (index < FirstDebugBox) {
            PairedBox(index);
        } else {
            DebugClick(index);
        }
    }

    void SetText(int index, const Text& text) {
        auto& field = state_.fields[index];
        if (field.text == text) {
            return; // no change notification
        }
        field.text = text;
        switch (index) {
        case 0:
            DelimiterChange();
            break;
        case 1:
        case 2:
            NumberChange(index);
            break;
        default:
            state_.dirty = true;
            break;
        }
    }

    const PageState& State() const { return state_; }
    std::vector<Text> boxes; // "ks", "question" or an error box's location

private:
    void PairedBox(int index) {
        auto& field = state_.fields[index - FlagBoxes];
        const int value = state_.boxes[index];
        if (value == CheckBox::Checked) {
            if (index == 5) {
                boxes.push_back(u"ks");
            }
            field.enabled = true;
            field.color = field.text.empty() ? Colors::Attention : Colors::Window;
        } else if (value == CheckBox::Unchecked) {
            field.enabled = false;
            field.color = Colors::ButtonFace;
            SetText(index - FlagBoxes, u"");
        }
        if (index != 4) {
            state_.dirty = true;
        }
    }

    void DebugClick(int index) {
        if (index == TestingBox && state_.boxes[index] == CheckBox::Checked) {
            boxes.push_back(u"question");
            if (questionAnswer_ == MessageBoxAnswer::No) {
                SetBox(index, CheckBox::Unchecked); // runs this click again, nested
            }
        }
        int level = 0;
        for (int i = 0; i < 6; ++i) {
            level += state_.boxes[FirstDebugBox + i] == CheckBox::Checked ? 1 << i : 0;
        }
        state_.level = DecimalText(level);
        state_.dirty = true;
    }

    void DelimiterChange() {
        auto& field = state_.fields[0];
        if (state_.boxes[4] == CheckBox::Checked) {
            const Text first = FirstCharacter(field.text);
            if (first.size() < field.text.size()) {
                SetText(0, first);
            }
            field.color = field.text.empty() || IsRefusedDelimiter(field.text) ? Colors::Attention
                                                                               : Colors::Window;
        }
        SetText(0, UpperCase(field.text));
        state_.dirty = true;
    }

    void NumberChange(int index) {
        auto& field = state_.fields[index];
        if (state_.boxes[index + FlagBoxes] == CheckBox::Checked) {
            bool accepted = false;
            if (!field.text.empty()) {
                const NumericJudgement judgement = JudgeNumeric(field.text);
                if (judgement.overflowReported) {
                    boxes.push_back(NumericLocation);
                    if (logFails_) {
                        boxes.push_back(WriteToLogFileLocation);
                    }
                }
                accepted = judgement.numeric;
            }
            field.color = accepted ? Colors::Window : Colors::Attention;
        }
        state_.dirty = true;
    }

    PageState state_;
    MessageBoxAnswer questionAnswer_;
    bool logFails_;
};

Text Label(const MessageBoxRequest& box) {
    if (IsKsWarning(box)) {
        return u"ks";
    }
    if (IsTestingQuestion(box)) {
        return u"question";
    }
    return IsErrorBox(box) ? ErrorBoxLocation(box) : u"unknown: " + box.Message.substr(0, 60);
}

// Runs one edit and holds the page to the editing rules.
template <typename Edit, typename Expect>
void EditAndCheck(FuzzPage& fuzzPage, bool logFails, Edit edit, Expect expect) {
    auto& page = fuzzPage.page();
    auto& fake = fuzzPage.fake();
    const PageState before = Capture(page);
    const std::size_t firstBox = fake.boxes.shown.size();
    fuzzPage.StartOperation(16, 500);
    edit();
    MessageBoxAnswer answer = MessageBoxAnswer::Yes;
    std::vector<Text> shown;
    for (std::size_t i = firstBox; i < fake.boxes.shown.size(); ++i) {
        shown.push_back(Label(fake.boxes.shown[i].request));
        if (IsTestingQuestion(fake.boxes.shown[i].request)) {
            answer = fake.boxes.shown[i].answer;
        }
    }
    EditRules rules(before, answer, logFails);
    expect(rules);
    const PageState after = Capture(page);
    FUZZ_CHECK(after == rules.State(), "after the edit:\n    got      " + Describe(after) +
                                           "\n    expected " + Describe(rules.State()) +
                                           "\n    before   " + Describe(before));
    std::string listing;
    for (const auto& label : shown) {
        listing += " [" + ToUtf8(label) + "]";
    }
    listing += " expected";
    for (const auto& label : rules.boxes) {
        listing += " [" + ToUtf8(label) + "]";
    }
    FUZZ_CHECK(shown == rules.boxes, "boxes shown:" + listing);
    fuzzPage.CheckInvariants();
}

void Perform(FuzzPage& fuzzPage, FuzzInput& input, bool logFails) {
    auto& page = fuzzPage.page();
    const auto operation =
        static_cast<Operation>(input.Byte() % static_cast<int>(Operation::Count));
    const auto setBox = [&](int index, int value) {
        EditAndCheck(
            fuzzPage, logFails, [&] { BoxAt(page, index).SetValue(value); },
            [&](EditRules& rules) { rules.SetBox(index, value); });
    };
    const auto setText = [&](int index, const Text& text) {
        EditAndCheck(
            fuzzPage, logFails, [&] { FieldAt(page, index).SetText(text); },
            [&](EditRules& rules) { rules.SetText(index, text); });
    };
    switch (operation) {
    case Operation::Click: {
        const int index = input.Byte() % BoxCount;
        setBox(index, BoxAt(page, index).Value() == CheckBox::Checked ? CheckBox::Unchecked
                                                                      : CheckBox::Checked);
        break;
    }
    case Operation::SetBox: {
        const int index = input.Byte() % BoxCount;
        setBox(index, input.Byte() % 3);
        break;
    }
    case Operation::Paste: {
        const int index = input.Byte() % FieldCount;
        const std::uint8_t how = input.Byte();
        const auto interesting = InterestingTexts();
        setText(index, (how & 1) != 0 ? interesting[(how >> 1) % interesting.size()]
                                      : input.ShortText(48));
        break;
    }
    case Operation::PasteLong: {
        const int index = input.Byte() % FieldCount;
        setText(index, ReadRepeatedText(input));
        break;
    }
    case Operation::TypeAtEnd: {
        const int index = input.Byte() % FieldCount;
        setText(index, FieldAt(page, index).GetText() + input.Unit());
        break;
    }
    case Operation::Insert: {
        const int index = input.Byte() % FieldCount;
        Text text = FieldAt(page, index).GetText();
        const std::size_t at = input.Byte() % (text.size() + 1);
        text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), input.Unit());
        setText(index, text);
        break;
    }
    case Operation::Delete: {
        const int index = input.Byte() % FieldCount;
        Text text = FieldAt(page, index).GetText();
        if (!text.empty()) {
            text.erase(input.Byte() % text.size(), 1);
        }
        setText(index, text);
        break;
    }
    case Operation::Clear:
        setText(input.Byte() % FieldCount, u"");
        break;
    case Operation::Save:
        GenerateAndCheck(fuzzPage, ListShape::OneEmptyRow, logFails);
        break;
    case Operation::Load: {
        auto table = ReadWellFormedTable(input, 4);
        Text path = u"C:\\Interfaces\\D3";
        fuzzPage.StartOperation(16, 2000);
        FUZZ_CHECK(page.LoadDefaults(table, path) == 1, "a well-formed table failed to load");
        FUZZ_CHECK(!page.ControlHasUnsavedChanges(), "a completed load left the page dirty");
        fuzzPage.CheckInvariants();
        break;
    }
    case Operation::Count:
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input({data, size});
    const std::uint8_t options = input.Byte();
    const bool logFails = (options & 1) != 0;
    const auto shape =
        static_cast<ListShape>(((options >> 2) & 0xF) % static_cast<int>(ListShape::Count));

    FuzzPage page(input, logFails);
    if ((options & 2) != 0) {
        auto table = ReadWellFormedTable(input, 6);
        Text path = u"C:\\Interfaces\\D3";
        page.StartOperation(32, 2000);
        FUZZ_CHECK(page.page().LoadDefaults(table, path) == 1, "a well-formed table failed");
        page.CheckInvariants();
    }
    const int operations = input.Byte() % (MaxOperations + 1);
    for (int i = 0; i < operations; ++i) {
        Perform(page, input, logFails);
    }
    GenerateAndCheck(page, shape, logFails);
    return 0;
}
