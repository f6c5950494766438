#pragma once

#include "page/Varkel1Page.h"
#include "support/Fakes.h"
#include "support/MemoryTables.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

// A broken property aborts: libFuzzer keeps the input as a crash, and the replay fails.
#define FUZZ_CHECK(ok)                                                                             \
    ((ok) ? void() : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #ok), std::abort()))

namespace varkel::fuzzing {

// The corpus files are written in this reading of bytes: change it only together with them.
struct FuzzInput {
    const std::uint8_t* data;
    std::size_t size, position = 0;

    std::uint8_t Byte() { return position < size ? data[position++] : 0; } // zeros past the end
    std::uint64_t Number(int count) {                                      // little-endian
        const std::uint64_t low = Byte();
        return count == 1 ? low : low | Number(count - 1) << 8;
    }
    Text ShortText(std::size_t limit) { // a length byte modulo limit + 1, then the units
        Text text(Byte() % (limit + 1), u'\0');
        std::generate(text.begin(), text.end(), [this] { return Byte(); });
        return text;
    }
};

// A started page; an odd-sized input fails its log, a Yes/No box reads its answer (odd: No).
struct FuzzPage : MessageBoxPort {
    explicit FuzzPage(FuzzInput& input) : answers(input) {
        fake.log.failure = input.size % 2 != 0 ? std::optional(Failures::Overflow()) : std::nullopt;
        fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
        page.UserControl_Initialize();
    }
    MessageBoxAnswer ShowModal(const MessageBoxRequest& request) override {
        return request.Buttons == MessageBoxButtons::Ok ? MessageBoxAnswer::Ok
               : (answers.Byte() & 1) != 0              ? MessageBoxAnswer::No
                                                        : MessageBoxAnswer::Yes;
    }
    void CheckInvariants() { // the level label, each value field, an upper case delimiter
        int level = 0;
        for (int index = 0; index < page.chkDebug.Count(); ++index) {
            level += page.chkDebug[index].Value() == CheckBox::Checked ? 1 << index : 0;
        }
        FUZZ_CHECK(page.lblDBLevel.Caption() == DecimalText(level));
        FUZZ_CHECK(UpperCase(page.txtDelimiter.GetText()) == page.txtDelimiter.GetText());
        for (const auto& [box, field] : {std::pair{&page.chkDelimiter, &page.txtDelimiter},
                                         {&page.chkGLF, &page.txtGLFerr},
                                         {&page.chkDigital, &page.txtOutput}}) {
            const OleColor color = field->BackColor();
            const bool on = box->Value() == CheckBox::Checked, filled = !field->GetText().empty();
            FUZZ_CHECK(box->Value() == CheckBox::Grayed ||
                       (field->Enabled() == on &&
                        (on ? color == Colors::Attention || (color == Colors::Window && filled)
                            : color == Colors::ButtonFace)));
        }
    }

    FuzzInput& answers;
    testing::FakePlatform fake;
    Platform ports{*this, fake.strings, fake.log, fake.hostObjects, fake.versions, fake.module};
    Varkel1Page page{ports};
};

// The shape's low bits pick the list, 8 makes it fixed, 16 locked, and 32 names its first row.
inline void Generate(FuzzPage& fuzz, int shape) {
    const std::vector<Bounds> shapes[] = {{{0, 1}, {0, 0}}, {{0, 1}, {0, 2}},  {{0, 2}, {0, 0}},
                                          {{0, 1}, {1, 1}}, {{0, 1}, {0, -1}}, {{0, 1}}};
    MemoryArgumentList list(shapes[shape % 8 % 6]);
    list.SetFixedSize((shape & 8) != 0);
    list.SetLocked((shape & 16) != 0);
    if ((shape & 32) != 0 && shape % 8 % 6 < 3) {
        list.Set(0, 0, u"/EXISTING");
    }
    const auto before = list.Rows();
    const std::int32_t result = fuzz.page.GetAllArgumentsSafeArray(list);
    FUZZ_CHECK(result == 0 || (result == 1 && !fuzz.page.ControlHasUnsavedChanges()));
    const auto after = list.Rows();
    FUZZ_CHECK(after.size() >= before.size());
    for (std::size_t row = 0; row < after.size(); ++row) {
        const auto& [name, value] = after[row];
        FUZZ_CHECK(row >= before.size() || before[row].first.empty() || after[row] == before[row]);
        FUZZ_CHECK(value.empty() || (!name.empty() && (name[0] == u'/' || name[0] == u'-')));
    }
    fuzz.CheckInvariants();
}

} // namespace varkel::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#ifndef VARKEL_LIBFUZZER
int main(int argc, char** argv) { // replays the directory named last, naming each input first
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(argv[argc - 1])) {
        std::fprintf(stderr, "replaying %s\n", entry.path().c_str());
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}}; // no slack
        replayed += LLVMFuzzerTestOneInput(bytes.data(), bytes.size()) == 0;
    }
    return replayed == 0 ? 2 : 0;
}
#endif
