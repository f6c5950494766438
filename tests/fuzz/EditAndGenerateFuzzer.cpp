// Edits a started page as a user could (clicks, typing, pasting, loading) and generates its
// arguments into lists of every shape a host may hand over. After every edit the page's
// invariants hold; generation answers 0 or 1, every name it writes starts with a prefix, and
// rows the list held before are kept.

#include "FuzzSupport.h"

using namespace varkel;
using namespace varkel::fuzzing;

namespace {

MemoryArgumentList MakeList(int shape) {
    auto list = MemoryArgumentList::WithRows(shape == 3 ? 3 : shape == 8 ? 0 : 1);
    list.SetFixedSize(shape == 4);
    list.SetLocked(shape == 5);
    if (shape == 2) {
        list.Set(0, 0, u"/EXISTING");
    }
    return shape == 6   ? MemoryArgumentList({{0, 2}, {0, 0}})
           : shape == 7 ? MemoryArgumentList({{0, 1}, {1, 1}})
           : shape == 9 ? MemoryArgumentList({{0, 1}})
                        : list;
}

void Generate(FuzzPage& fuzz, int shape) {
    MemoryArgumentList list = MakeList(shape);
    const auto before = list.Rows();
    // A failing log shows a box for each additional switch that cannot be written.
    fuzz.boxLimit = 64 + 2 * static_cast<int>(fuzz.page.txtAdditional.GetText().size());
    const std::int32_t result = fuzz.page.GetAllArgumentsSafeArray(list);
    FUZZ_CHECK(result == 0 || result == 1);
    const auto after = list.Rows();
    FUZZ_CHECK(after.size() >= before.size());
    for (std::size_t row = 0; row < after.size(); ++row) {
        const auto& [name, value] = after[row];
        FUZZ_CHECK(row >= before.size() || before[row].first.empty() || after[row] == before[row]);
        FUZZ_CHECK(name.empty() ? value.empty() : name[0] == u'/' || name[0] == u'-');
    }
    FUZZ_CHECK(result == 0 || !fuzz.page.ControlHasUnsavedChanges());
    fuzz.CheckInvariants();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input({data, size});
    const std::uint8_t options = input.Byte();
    FuzzPage fuzz(input, (options & 1) != 0);
    auto& page = fuzz.page;
    CheckBox* boxes[] = {&page.chkDatabaseUpdates, &page.chkHardwareShutdown, &page.chkNullStrings,
                         &page.chkSequentialDB,    &page.chkDelimiter,        &page.chkGLF,
                         &page.chkDigital,         &page.chkDebug[0],         &page.chkDebug[1],
                         &page.chkDebug[2],        &page.chkDebug[3],         &page.chkDebug[4],
                         &page.chkDebug[5]};
    TextField* fields[] = {&page.txtDelimiter, &page.txtGLFerr, &page.txtOutput,
                           &page.txtAdditional};
    Text path = u"C:\\Interfaces\\D3";
    if ((options & 2) != 0) {
        auto table = ReadWellFormedTable(input, 6);
        FUZZ_CHECK(page.LoadDefaults(table, path) == 1);
        fuzz.CheckInvariants();
    }
    for (int operations = input.Byte() % 49; operations > 0; --operations) {
        const int operation = input.Byte() % 10;
        const std::uint8_t index = operation == 7 || operation == 8 ? 0 : input.Byte();
        CheckBox& box = *boxes[index % 13];
        TextField& field = *fields[index % 4];
        Text text = field.GetText();
        switch (operation) {
        case 0:
            box.SetValue(box.Value() == CheckBox::Checked ? CheckBox::Unchecked
                                                          : CheckBox::Checked);
            break;
        case 1:
            box.SetValue(input.Byte() % 3);
            break;
        case 2: {
            const std::uint8_t how = input.Byte();
            field.SetText((how & 1) != 0 ? InterestingText(how >> 1) : input.ShortText(48));
            break;
        }
        case 3:
            field.SetText(text + input.Unit());
            break;
        case 4:
            text.insert(text.begin() +
                            static_cast<std::ptrdiff_t>(input.Byte() % (text.size() + 1)),
                        input.Unit());
            field.SetText(text);
            break;
        case 5:
            field.SetText(text.empty() ? text : text.erase(input.Byte() % text.size(), 1));
            break;
        case 6:
            field.SetText(u"");
            break;
        case 7:
            Generate(fuzz, 0);
            break;
        case 8: {
            auto table = ReadWellFormedTable(input, 4);
            FUZZ_CHECK(page.LoadDefaults(table, path) == 1);
            FUZZ_CHECK(!page.ControlHasUnsavedChanges());
            break;
        }
        default:
            field.SetText(ReadRepeatedText(input));
        }
        fuzz.CheckInvariants();
    }
    Generate(fuzz, ((options >> 2) & 0xF) % 10);
    return 0;
}
