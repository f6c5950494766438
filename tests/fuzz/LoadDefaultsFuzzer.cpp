// LoadDefaults over hostile tables: any rank, bounds, entry kinds and markers, message boxes
// answered at random, and optionally a log library that fails every write. The page must
// return, show exactly the boxes the loading rules call for in their order, and end in the
// state that a plain walk over the same table predicts.
//
// Input: an options byte (bit 0: the log fails; bit 1: a second load follows on the same page),
// one or two tables (FuzzTables.h), an installation path, then the answers to Yes/No boxes.

#include "Check.h"
#include "FuzzInput.h"
#include "FuzzPage.h"
#include "FuzzTables.h"

#include "common/ErrorReporting.h"

#include <deque>
#include <optional>

namespace {

using namespace varkel;
using namespace varkel::fuzzing;

const Text LoadLocation = PageLocation(u"in LoadDefaults() of ");
const Text ParseDBFlagLocation = PageLocation(u"in Routine ParseDBFlag() of the ");

// A box the load is expected to show.
struct ExpectedBox {
    enum class Kind { KsWarning, TestingQuestion, Error } kind;
    Text location;
    std::int32_t number = 0;
};

struct PairState {
    Text text;
    bool checked = false;
};

// What the page must look like after loading the table.
struct Prediction {
    std::optional<std::int32_t> failure; // the number LoadDefaults stops with
    bool databaseUpdates = false;
    bool hardwareShutdown = false;
    bool nullStrings = false;
    bool sequentialDB = false;
    PairState delimiter;
    PairState glf;
    PairState output;
    int debugBits = 0;
    Text additional;
    std::vector<ExpectedBox> boxes;
};

Text AsciiUpper(Text text) {
    for (auto& unit : text) {
        if (unit >= u'a' && unit <= u'z') {
            unit = static_cast<char16_t>(unit - u'a' + u'A');
        }
    }
    return text;
}

bool IsOneOf(const Text& text, const Text& name) {
    return text == u"/" + name || text == u"-" + name;
}

class Predictor {
public:
    // `answers`: the answers given to the testing question, in order.
    Predictor(const MemoryInputTable& table, std::deque<MessageBoxAnswer> answers)
        : table_(table), answers_(std::move(answers)) {}

    Prediction Run() {
        try {
            if (table_.Dimensions() != 2 || table_.LowerBound(2) != 0) {
                throw Failures::SubscriptOutOfRange();
            }
            const std::int64_t lastRow = table_.UpperBound(2);
            for (std::int64_t row = 0; row <= lastRow; ++row) {
                Row(static_cast<std::int32_t>(row));
            }
        } catch (const Failure& failure) {
            result_.failure = failure.Number;
            result_.boxes.push_back({ExpectedBox::Kind::Error, LoadLocation, failure.Number});
        }
        return result_;
    }

private:
    void Row(std::int32_t row) {
        const Text name = CellText(table_.Get(0, row));
        const Text upper = AsciiUpper(name);
        if (IsOneOf(upper, u"CH")) {
            result_.databaseUpdates = true;
        } else if (IsOneOf(upper, u"HW")) {
            result_.hardwareShutdown = true;
        } else if (IsOneOf(upper, u"BL")) {
            result_.nullStrings = true;
        } else if (IsOneOf(upper, u"NOSEQ")) {
            result_.sequentialDB = true;
        } else if (IsOneOf(upper, u"ITDELIM")) {
            const Text value = CellText(table_.Get(1, row));
            auto& pair = result_.delimiter;
            if (value != pair.text) {
                // Changing the text runs the delimiter rule: cut to one character only while
                // the box is already checked, upper case always.
                pair.text = UpperCase(pair.checked ? FirstCharacter(value) : value);
            }
            pair.checked = !pair.text.empty();
        } else if (IsOneOf(upper, u"KS")) {
            const bool wasChecked = result_.glf.checked;
            NumberSwitch(result_.glf, CellText(table_.Get(1, row)));
            if (result_.glf.checked && !wasChecked) {
                result_.boxes.push_back({ExpectedBox::Kind::KsWarning, {}, 0});
            }
        } else if (IsOneOf(upper, u"VAL")) {
            NumberSwitch(result_.output, CellText(table_.Get(1, row)));
        } else if (IsOneOf(upper, u"DB")) {
            DebugLevel(table_.Get(1, row));
        } else if (CellIsZero(table_.Get(2, row))) {
            const Text value = CellText(table_.Get(1, row));
            result_.additional += name;
            if (!value.empty()) {
                result_.additional += u"=" + value;
            }
            result_.additional += u" ";
        }
    }

    // A number field takes the text; while its box is already checked, the change runs the
    // number rule, whose numeric test may report its counter's overflow.
    void NumberSwitch(PairState& pair, const Text& value) {
        if (pair.checked && value != pair.text && !value.empty()) {
            NumericTest(value);
        }
        pair = {value, !value.empty()};
    }

    bool NumericTest(const Text& text) {
        const NumericJudgement judgement = JudgeNumeric(text);
        if (judgement.overflowReported) {
            result_.boxes.push_back({ExpectedBox::Kind::Error, NumericLocation, 6});
        }
        return judgement.numeric;
    }

    void DebugLevel(const CellValue& cell) {
        Text text;
        try {
            text = CellText(cell);
        } catch (const Failure& failure) {
            // Reported by ParseDBFlag itself; loading goes on.
            result_.boxes.push_back(
                {ExpectedBox::Kind::Error, ParseDBFlagLocation, failure.Number});
            return;
        }
        int level = 0;
        const bool digits = NumericTest(text);
        for (const char16_t digit : digits ? text : Text{}) {
            level = std::min(level * 10 + (digit - u'0'), 1000);
        }
        for (int index = 5; index >= 0; --index) {
            const int bit = 1 << index;
            if (level < bit) {
                continue;
            }
            level -= bit;
            if ((result_.debugBits & bit) != 0) {
                continue; // already checked: no click, no question
            }
            result_.debugBits |= bit;
            if (index == 5) {
                result_.boxes.push_back({ExpectedBox::Kind::TestingQuestion, {}, 0});
                const bool no = !answers_.empty() && answers_.front() == MessageBoxAnswer::No;
                if (!answers_.empty()) {
                    answers_.pop_front();
                }
                if (no) {
                    result_.debugBits &= ~bit;
                }
            }
        }
    }

    const MemoryInputTable& table_;
    std::deque<MessageBoxAnswer> answers_;
    Prediction result_;
};

std::string Describe(const ExpectedBox& box) {
    switch (box.kind) {
    case ExpectedBox::Kind::KsWarning:
        return "KS warning";
    case ExpectedBox::Kind::TestingQuestion:
        return "testing question";
    case ExpectedBox::Kind::Error:
        break;
    }
    return "error " + std::to_string(box.number) + " at " + ToUtf8(box.location);
}

std::string Describe(const MessageBoxRequest& box) {
    if (IsKsWarning(box)) {
        return "KS warning";
    }
    if (IsTestingQuestion(box)) {
        return "testing question";
    }
    if (IsErrorBox(box)) {
        return "error " + std::to_string(ErrorBoxNumber(box)) + " at " +
               ToUtf8(ErrorBoxLocation(box));
    }
    return "unknown box " + Show(box.Message);
}

void CheckBoxes(const std::vector<AnsweringMessageBoxes::Shown>& shown, std::size_t first,
                const Prediction& prediction, bool logFails) {
    std::vector<ExpectedBox> expected;
    for (const auto& box : prediction.boxes) {
        expected.push_back(box);
        if (logFails && box.kind == ExpectedBox::Kind::Error) {
            // The report's log line cannot be written: one more box, and there the chain ends.
            expected.push_back({ExpectedBox::Kind::Error, WriteToLogFileLocation, 48});
        }
    }
    std::string listing;
    for (std::size_t i = first; i < shown.size(); ++i) {
        listing += "\n    shown: " + Describe(shown[i].request);
    }
    for (const auto& box : expected) {
        listing += "\n    expected: " + Describe(box);
    }
    FUZZ_CHECK(shown.size() - first == expected.size(), "wrong boxes:" + listing);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& box = shown[first + i].request;
        bool matches = false;
        switch (expected[i].kind) {
        case ExpectedBox::Kind::KsWarning:
            matches = IsKsWarning(box);
            break;
        case ExpectedBox::Kind::TestingQuestion:
            matches = IsTestingQuestion(box);
            break;
        case ExpectedBox::Kind::Error:
            matches = IsErrorBox(box) && ErrorBoxLocation(box) == expected[i].location &&
                      ErrorBoxNumber(box) == expected[i].number;
            break;
        }
        FUZZ_CHECK(matches, "box " + std::to_string(i) + " differs:" + listing);
    }
}

void CheckState(Varkel1Page& page, const Prediction& expected) {
    FUZZ_CHECK(page.chkDatabaseUpdates.Value() == (expected.databaseUpdates ? 1 : 0), "/CH box");
    FUZZ_CHECK(page.chkHardwareShutdown.Value() == (expected.hardwareShutdown ? 1 : 0), "/HW box");
    FUZZ_CHECK(page.chkNullStrings.Value() == (expected.nullStrings ? 1 : 0), "/BL box");
    FUZZ_CHECK(page.chkSequentialDB.Value() == (expected.sequentialDB ? 1 : 0), "/NOSEQ box");
    const struct {
        const char* name;
        CheckBox& box;
        TextField& field;
        const PairState& expected;
    } pairs[] = {{"/ITDELIM", page.chkDelimiter, page.txtDelimiter, expected.delimiter},
                 {"/KS", page.chkGLF, page.txtGLFerr, expected.glf},
                 {"/VAL", page.chkDigital, page.txtOutput, expected.output}};
    for (const auto& pair : pairs) {
        FUZZ_CHECK(pair.field.GetText() == pair.expected.text,
                   std::string(pair.name) + " text " + Show(pair.field.GetText()) + ", expected " +
                       Show(pair.expected.text));
        FUZZ_CHECK(pair.box.Value() == (pair.expected.checked ? 1 : 0),
                   std::string(pair.name) + " box");
        if (pair.expected.checked) {
            // A loaded value is shown as accepted, whatever it holds.
            FUZZ_CHECK(pair.field.BackColor() == Colors::Window,
                       std::string(pair.name) + " loaded value not in the window colour");
        }
    }
    FUZZ_CHECK(page.GetDBFlag() == expected.debugBits,
               "debug level " + std::to_string(page.GetDBFlag()) + ", expected " +
                   std::to_string(expected.debugBits));
    FUZZ_CHECK(page.txtAdditional.GetText() == expected.additional,
               "txtAdditional " + Show(page.txtAdditional.GetText()) + ", expected " +
                   Show(expected.additional));
}

void LoadAndCheck(FuzzPage& fuzzPage, MemoryInputTable& table, const Text& path, bool logFails) {
    auto& page = fuzzPage.page();
    auto& fake = fuzzPage.fake();
    const std::size_t firstBox = fake.boxes.shown.size();
    const std::size_t firstLine = fake.log.lines.size();
    const std::size_t rows = table.Dimensions() == 2 && table.UpperBound(2) >= 0
                                 ? static_cast<std::size_t>(table.UpperBound(2)) + 1
                                 : 0;
    fuzzPage.StartOperation(4 * rows + 8, 200 * rows + 500);

    Text pathArgument = path;
    const std::int32_t result = page.LoadDefaults(table, pathArgument);

    std::deque<MessageBoxAnswer> answers;
    for (std::size_t i = firstBox; i < fake.boxes.shown.size(); ++i) {
        if (IsTestingQuestion(fake.boxes.shown[i].request)) {
            answers.push_back(fake.boxes.shown[i].answer);
        }
    }
    const Prediction expected = Predictor(table, answers).Run();

    FUZZ_CHECK(result == (expected.failure ? 0 : 1),
               "LoadDefaults returned " + std::to_string(result));
    FUZZ_CHECK(pathArgument == path && page.InstallationPathValue() == path,
               "installation path not taken over unchanged");
    CheckBoxes(fake.boxes.shown, firstBox, expected, logFails);
    CheckState(page, expected);
    fuzzPage.CheckInvariants();
    if (result == 1) {
        FUZZ_CHECK(!page.ControlHasUnsavedChanges(), "a completed load left the page dirty");
    }

    // One log line per error box, naming the same place.
    std::vector<Text> locations;
    for (std::size_t i = firstBox; i < fake.boxes.shown.size(); ++i) {
        if (IsErrorBox(fake.boxes.shown[i].request)) {
            locations.push_back(ErrorBoxLocation(fake.boxes.shown[i].request));
        }
    }
    const std::size_t lines = fake.log.lines.size() - firstLine;
    FUZZ_CHECK(lines == (logFails ? 0 : locations.size()),
               std::to_string(lines) + " log lines for " + std::to_string(locations.size()) +
                   " error boxes");
    for (std::size_t i = 0; i < lines; ++i) {
        FUZZ_CHECK(
            fake.log.lines[firstLine + i].message.starts_with(u"Error in method: " + locations[i]),
            "log line " + Show(fake.log.lines[firstLine + i].message));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input({data, size});
    const std::uint8_t options = input.Byte();
    const bool logFails = (options & 1) != 0;
    std::vector<MemoryInputTable> tables;
    tables.push_back(ReadInputTable(input));
    if ((options & 2) != 0) {
        tables.push_back(ReadInputTable(input));
    }
    const Text path = input.ShortText(24);

    FuzzPage page(input, logFails); // the rest of the input answers the boxes
    for (auto& table : tables) {
        LoadAndCheck(page, table, path, logFails);
    }
    return 0;
}
