// Edits any control of a page as a user could, generating now and then: the invariants hold.

#include "FuzzSupport.h"

#include "page/Layout.h"

using namespace varkel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::FuzzInput in{data, size};
    fuzzing::FuzzPage fuzz(in);
    for (int operations = in.Byte() % 49; operations > 0; --operations) {
        auto* control = FindControl(fuzz.page, PageLayout()[in.Byte() % PageLayout().size()].name);
        const int how = in.Byte();
        if (auto* box = dynamic_cast<CheckBox*>(control)) {
            box->SetValue(how % 3);
        } else if (auto* field = dynamic_cast<TextField*>(control)) {
            field->SetText(how % 3 == 0   ? in.ShortText(48) // typed at the end, or long
                           : how % 3 == 1 ? field->GetText() + static_cast<char16_t>(in.Byte())
                                          : Text(in.Number(2), static_cast<char16_t>(how / 3)));
        } else { // a frame or a label
            fuzzing::Generate(fuzz, how);
        }
        fuzz.CheckInvariants();
    }
    return 0;
}
