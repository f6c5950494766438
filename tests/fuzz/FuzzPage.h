#pragma once
// A page on fake ports for the page fuzz targets: message boxes answered from the fuzzer's
// bytes and recorded, a log that can be made to fail, budgets that turn a looping page into a
// failed check instead of a hang, and the checks every page state must pass.

#include "Check.h"
#include "FuzzInput.h"

#include "page/Varkel1Page.h"
#include "support/Fakes.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace varkel::fuzzing {

// The location text of a page routine for the fake host's interface "if01".
Text PageLocation(const Text& prefix);

// Yes/No boxes take their answer from the next input byte (even: Yes, odd: No; an exhausted
// input gives Yes, the default button); OK boxes read nothing. More than `budget` boxes in one
// budget period fail the run: no operation of the page shows more than a handful.
class AnsweringMessageBoxes : public MessageBoxPort {
public:
    explicit AnsweringMessageBoxes(FuzzInput& answers) : answers_(answers) {}
    MessageBoxAnswer ShowModal(const MessageBoxRequest& request) override;

    void StartBudget(std::size_t budget);

    struct Shown {
        MessageBoxRequest request;
        MessageBoxAnswer answer;
    };
    std::vector<Shown> shown;

private:
    FuzzInput& answers_;
    std::size_t budget_ = 0;
    std::size_t spent_ = 0;
};

// The string table never changes, so every platform shares one: building it is most of the
// cost of a platform.
testing::FakeStringTable& SharedStringTable();

struct FuzzPlatform {
    explicit FuzzPlatform(FuzzInput& answers) : boxes(answers) {}
    AnsweringMessageBoxes boxes;
    testing::FakeStringTable& strings = SharedStringTable();
    testing::RecordingLog log;
    testing::FakeHostObjects hostObjects;
    testing::FakeVersionApi versions;
    testing::FakeModuleLocation module;
    Platform ports{boxes, strings, log, hostObjects, versions, module};
};

// Kinds of box the page may show.
bool IsKsWarning(const MessageBoxRequest& box);
bool IsTestingQuestion(const MessageBoxRequest& box);
bool IsErrorBox(const MessageBoxRequest& box);
// The location and the number an error box reports.
Text ErrorBoxLocation(const MessageBoxRequest& box);
std::int32_t ErrorBoxNumber(const MessageBoxRequest& box);

// How the page's numeric test (all allowances off) judges a text: digits only and at least one;
// its 16-bit character counter overflows, with an error box, for 32,768 characters or more,
// and for exactly 32,767 when the judgement reaches the last character.
struct NumericJudgement {
    bool numeric = false;
    bool overflowReported = false;
};
NumericJudgement JudgeNumeric(const Text& text);
inline const Text NumericLocation = PageLocation(u" in CheckIfNumericValue() of the ");

// The delimiter field keeps one character; a surrogate pair counts as one.
Text FirstCharacter(const Text& text);
bool IsRefusedDelimiter(const Text& text);

class FuzzPage {
public:
    // A started page with the start-up's boxes and log lines checked and cleared. `answers`
    // feeds the message boxes; `logFails` makes every log write fail.
    FuzzPage(FuzzInput& answers, bool logFails);

    Varkel1Page& page() { return *page_; }
    FuzzPlatform& fake() { return fake_; }

    // Each operation gets its own budget of message boxes and control changes.
    void StartOperation(std::size_t boxBudget, std::size_t changeBudget);

    // Holds for every state the page can reach: the debug label shows the level of the boxes,
    // value fields follow their boxes, the delimiter is upper case.
    void CheckInvariants();

private:
    void WatchChanges();
    FuzzPlatform fake_;
    std::unique_ptr<Varkel1Page> page_;
    std::size_t changeBudget_ = 0;
    std::size_t changes_ = 0;
};

} // namespace varkel::fuzzing
