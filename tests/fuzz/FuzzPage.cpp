#include "FuzzPage.h"

#include "common/ThreadState.h"

namespace varkel::fuzzing {

namespace {
const Text KsWarningText = u"Warning: Use of the /KS parameter is not recommended.";
const Text TestingQuestionText =
    u"Are you sure you wish to turn on Debug for Velmar Internal Testing only?";
const Text ErrorBoxStart = u"Method:\t\t";
const Text PageTitleText = u"QX Interface for GSE D/3 DBA NUX Control";
} // namespace

MessageBoxAnswer AnsweringMessageBoxes::ShowModal(const MessageBoxRequest& request) {
    ++spent_;
    FUZZ_CHECK(spent_ <= budget_, "more than " + std::to_string(budget_) +
                                      " message boxes in one operation; the latest: " +
                                      fuzzing::Show(request.Message));
    MessageBoxAnswer answer = MessageBoxAnswer::Ok;
    if (request.Buttons == MessageBoxButtons::YesNo) {
        answer = (answers_.Byte() & 1) != 0 ? MessageBoxAnswer::No : MessageBoxAnswer::Yes;
    }
    shown.push_back({request, answer});
    return answer;
}

void AnsweringMessageBoxes::StartBudget(std::size_t budget) {
    budget_ = budget;
    spent_ = 0;
}

testing::FakeStringTable& SharedStringTable() {
    static testing::FakeStringTable strings;
    return strings;
}

Text PageLocation(const Text& prefix) {
    return prefix + u"if01 NUX Control";
}

NumericJudgement JudgeNumeric(const Text& text) {
    constexpr std::size_t counterLimit = 32767;
    if (text.size() > counterLimit) {
        return {false, true};
    }
    NumericJudgement judgement;
    for (const char16_t unit : text) {
        if (unit < u'0' || unit > u'9') {
            return {false, false};
        }
        judgement.numeric = true;
    }
    judgement.overflowReported = text.size() == counterLimit;
    return judgement;
}

Text FirstCharacter(const Text& text) {
    const bool pair = text.size() >= 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF &&
                      text[1] >= 0xDC00 && text[1] <= 0xDFFF;
    return text.substr(0, pair ? 2 : 1);
}

bool IsRefusedDelimiter(const Text& text) {
    return text.size() == 1 && Text(u"%&^|<>\"").find(text[0]) != Text::npos;
}

bool IsKsWarning(const MessageBoxRequest& box) {
    return box.Message == KsWarningText && box.Buttons == MessageBoxButtons::Ok &&
           box.Icon == MessageBoxIcon::Exclamation && !box.Title;
}

bool IsTestingQuestion(const MessageBoxRequest& box) {
    return box.Message == TestingQuestionText && box.Buttons == MessageBoxButtons::YesNo &&
           box.Icon == MessageBoxIcon::None && !box.Title;
}

bool IsErrorBox(const MessageBoxRequest& box) {
    return box.Message.starts_with(ErrorBoxStart) && box.Buttons == MessageBoxButtons::Ok &&
           box.Icon == MessageBoxIcon::Critical && box.Title == PageTitleText;
}

Text ErrorBoxLocation(const MessageBoxRequest& box) {
    const auto end = box.Message.find(u"\r\n");
    return box.Message.substr(ErrorBoxStart.size(), end - ErrorBoxStart.size());
}

std::int32_t ErrorBoxNumber(const MessageBoxRequest& box) {
    // Third line: "Error:\t\t<hex>h   (<decimal>)".
    const auto line = box.Message.find(u"\r\nError:\t\t");
    const auto open = box.Message.find(u'(', line);
    const auto close = box.Message.find(u')', open);
    FUZZ_CHECK(line != Text::npos && open != Text::npos && close != Text::npos,
               "error box without a number: " + Show(box.Message));
    return static_cast<std::int32_t>(
        std::stol(ToUtf8(box.Message.substr(open + 1, close - open - 1))));
}

FuzzPage::FuzzPage(FuzzInput& answers, bool logFails) : fake_(answers) {
    // Fuzzers run every input on one thread; each page starts from a thread with no history.
    CurrentThreadState() = ThreadState{};
    fake_.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
    page_ = std::make_unique<Varkel1Page>(fake_.ports);
    WatchChanges();
    StartOperation(0, 1000);
    page_->UserControl_Initialize();
    FUZZ_CHECK(fake_.boxes.shown.empty(), "start-up showed a box");
    FUZZ_CHECK(!page_->ControlHasUnsavedChanges(), "a fresh page has unsaved changes");
    fake_.log.lines.clear();
    if (logFails) {
        fake_.log.failure = Failure(48, OwnSource, u"File not found: qxapi32.dll");
    }
    CheckInvariants();
}

void FuzzPage::StartOperation(std::size_t boxBudget, std::size_t changeBudget) {
    fake_.boxes.StartBudget(boxBudget);
    changeBudget_ = changeBudget;
    changes_ = 0;
}

void FuzzPage::WatchChanges() {
    // Rules that kept changing each other's controls would never return; counting every
    // property change turns that into a failed check at once.
    const auto watch = [this](Control& control) {
        control.SetObserver([this](ControlProperty) {
            ++changes_;
            FUZZ_CHECK(changes_ <= changeBudget_,
                       "more than " + std::to_string(changeBudget_) +
                           " control changes in one operation: the page's rules are looping");
        });
    };
    auto& p = *page_;
    for (Control* control : std::initializer_list<Control*>{
             &p.chkDelimiter, &p.txtDelimiter, &p.chkGLF, &p.txtGLFerr, &p.chkDigital, &p.txtOutput,
             &p.chkDatabaseUpdates, &p.chkHardwareShutdown, &p.chkNullStrings, &p.chkSequentialDB,
             &p.lblDBLevel, &p.txtAdditional}) {
        watch(*control);
    }
    for (int index = 0; index < p.chkDebug.Count(); ++index) {
        watch(p.chkDebug[index]);
    }
}

void FuzzPage::CheckInvariants() {
    auto& p = *page_;
    const std::int32_t level = p.GetDBFlag();
    FUZZ_CHECK(level >= 0 && level <= 63, "debug level " + std::to_string(level));
    FUZZ_CHECK(p.lblDBLevel.Caption() == DecimalText(level),
               "lblDBLevel shows " + Show(p.lblDBLevel.Caption()) + " for level " +
                   std::to_string(level));
    FUZZ_CHECK(UpperCase(p.txtDelimiter.GetText()) == p.txtDelimiter.GetText(),
               "txtDelimiter is not upper case: " + Show(p.txtDelimiter.GetText()));

    const struct {
        const char* name;
        CheckBox& box;
        TextField& field;
    } pairs[] = {{"delimiter", p.chkDelimiter, p.txtDelimiter},
                 {"GLF", p.chkGLF, p.txtGLFerr},
                 {"output", p.chkDigital, p.txtOutput}};
    for (const auto& pair : pairs) {
        const OleColor color = pair.field.BackColor();
        if (pair.box.Value() == CheckBox::Unchecked) {
            FUZZ_CHECK(!pair.field.Enabled() && color == Colors::ButtonFace,
                       std::string(pair.name) + " box unchecked beside an enabled or marked field");
        } else if (pair.box.Value() == CheckBox::Checked) {
            FUZZ_CHECK(pair.field.Enabled(),
                       std::string(pair.name) + " box checked beside a disabled field");
            FUZZ_CHECK(color == Colors::Window || color == Colors::Attention,
                       std::string(pair.name) + " field checked with colour " +
                           std::to_string(color));
            FUZZ_CHECK(!pair.field.GetText().empty() || color == Colors::Attention,
                       std::string(pair.name) + " field checked and empty but not marked");
        }
    }
}

} // namespace varkel::fuzzing
