// Edits any control of a page as a user could, generating now and then: the invariants hold.

#include "FuzzSupport.h"

#include "page/Layout.h"

using namespace varkel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::FuzzInput input{data, size};
    fuzzing::FuzzPage fuzz(input);
    for (int operations = input.Byte() % 49; operations > 0; --operations) {
        Control* control =
            FindControl(fuzz.page, PageLayout()[input.Byte() % PageLayout().size()].name);
        const int how = input.Byte();
        if (auto* box = dynamic_cast<CheckBox*>(control)) {
            box->SetValue(how % 3);
        } else if (auto* field = dynamic_cast<TextField*>(control)) {
            const Text text = field->GetText(); // typed at the end, or cut short
            field->SetText(how % 3 == 0   ? input.ShortText(48)
                           : how % 3 == 1 ? text + static_cast<char16_t>(input.Byte())
                                          : text.substr(0, input.Byte() % (text.size() + 1)));
        } else { // a frame or a label
            fuzzing::Generate(fuzz, how);
        }
        fuzz.CheckInvariants();
    }
    return 0;
}
