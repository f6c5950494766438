// Edits a page as a user could, generating now and then: the invariants hold after every step.

#include "FuzzSupport.h"

using namespace varkel;
using namespace varkel::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input{{data, size}};
    FuzzPage fuzz(input);
    auto& page = fuzz.page;
    CheckBox* boxes[] = {&page.chkDatabaseUpdates, &page.chkHardwareShutdown, &page.chkNullStrings,
                         &page.chkSequentialDB,    &page.chkDelimiter,        &page.chkGLF,
                         &page.chkDigital};
    TextField* fields[] = {&page.txtDelimiter, &page.txtGLFerr, &page.txtOutput,
                           &page.txtAdditional};
    for (int operations = input.Byte() % 49; operations > 0; --operations) {
        const std::uint8_t operation = input.Byte(), index = operation / 8;
        TextField& field = *fields[index % 4];
        const Text text = field.GetText();
        if (operation % 8 == 0) {
            (index < 16 ? page.chkDebug[index % 6] : *boxes[index % 7]).SetValue(input.Byte() % 3);
        } else if (operation % 8 == 1) {
            Generate(fuzz, index % 9);
        } else { // typed at the end, or cut short
            field.SetText(operation % 8 == 2   ? input.Interesting()
                          : operation % 8 == 3 ? input.ShortText(48)
                          : operation % 8 == 4 ? text + static_cast<char16_t>(input.Byte())
                          : operation % 8 == 5 ? text.substr(0, input.Byte() % (text.size() + 1))
                                               : input.LongText());
        }
        fuzz.CheckInvariants();
    }
    return 0;
}
