// Edits a page as a user could, then generates into lists of every shape: invariants hold, the
// result is 0 or 1, every name written starts with a prefix, rows held before are kept.

#include "FuzzSupport.h"

using namespace varkel;
using namespace varkel::fuzzing;

namespace {

// 0, 1 one row, 2 one named row, 3 three rows, 4 fixed size, 5 locked, 6 three columns, 7 rows
// from 1, 8 no rows, 9 one dimension.
MemoryArgumentList MakeList(int shape) {
    const Bounds pair{0, 1}, row{0, 0};
    const std::vector<Bounds> shapes[] = {
        {pair, row}, {pair, row},   {pair, row},    {pair, {0, 2}},  {pair, row},
        {pair, row}, {{0, 2}, row}, {pair, {1, 1}}, {pair, {0, -1}}, {pair}};
    MemoryArgumentList list(shapes[shape]);
    list.SetFixedSize(shape == 4);
    list.SetLocked(shape == 5);
    if (shape == 2) {
        list.Set(0, 0, u"/EXISTING");
    }
    return list;
}

void Generate(FuzzPage& fuzz, int shape) {
    MemoryArgumentList list = MakeList(shape);
    const auto before = list.Rows();
    fuzz.boxLimit = 64 + 2 * static_cast<int>(fuzz.page.txtAdditional.GetText().size());
    const std::int32_t result = fuzz.page.GetAllArgumentsSafeArray(list);
    FUZZ_CHECK(result == 0 || result == 1);
    FUZZ_CHECK(result == 0 || !fuzz.page.ControlHasUnsavedChanges());
    const auto after = list.Rows();
    FUZZ_CHECK(after.size() >= before.size());
    for (std::size_t row = 0; row < after.size(); ++row) {
        const auto& [name, value] = after[row];
        FUZZ_CHECK(row >= before.size() || before[row].first.empty() || after[row] == before[row]);
        FUZZ_CHECK(name.empty() ? value.empty() : name[0] == u'/' || name[0] == u'-');
    }
    fuzz.CheckInvariants();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input{{data, size}};
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
        if (operation == 0 || operation == 1) {
            box.SetValue(operation == 1                     ? input.Byte() % 3
                         : box.Value() == CheckBox::Checked ? CheckBox::Unchecked
                                                            : CheckBox::Checked);
        } else if (operation == 2) {
            const std::uint8_t how = input.Byte();
            field.SetText((how & 1) != 0 ? InterestingText(how >> 1) : input.ShortText(48));
        } else if (operation == 3 || operation == 4) { // typed at the end or somewhere
            const std::size_t at = operation == 3 ? text.size() : input.Byte() % (text.size() + 1);
            field.SetText(text.insert(at, 1, input.Unit()));
        } else if (operation == 5 || operation == 6) {
            field.SetText(
                operation == 6 || text.empty() ? u"" : text.erase(input.Byte() % text.size(), 1));
        } else if (operation == 7) {
            Generate(fuzz, 0);
        } else if (operation == 8) {
            auto table = ReadWellFormedTable(input, 4);
            FUZZ_CHECK(page.LoadDefaults(table, path) == 1);
            FUZZ_CHECK(!page.ControlHasUnsavedChanges());
        } else {
            field.SetText(ReadRepeatedText(input));
        }
        fuzz.CheckInvariants();
    }
    Generate(fuzz, ((options >> 2) & 0xF) % 10);
    return 0;
}
