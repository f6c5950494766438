#pragma once
// Bytes past the input's end read as zeros, a text unit is one byte. The corpus files are written
// in this reading: change it only together with them.

#include "page/Varkel1Page.h"
#include "support/Fakes.h"
#include "support/MemoryTables.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>

// A broken property aborts: libFuzzer keeps the input as a crash, and the replay fails.
#define FUZZ_CHECK(condition)                                                                      \
    ((condition)                                                                                   \
         ? void()                                                                                  \
         : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition), std::abort()))

namespace varkel::fuzzing {

struct FuzzInput {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;

    std::uint8_t Byte() { return position < bytes.size() ? bytes[position++] : 0; }
    std::uint64_t Number(int count) { // little-endian
        const std::uint64_t low = Byte();
        return count == 1 ? low : low | Number(count - 1) << 8;
    }
    Text ShortText(std::size_t limit) { // a length byte modulo limit + 1, then the units
        Text text(Byte() % (limit + 1), u'\0');
        for (auto& unit : text) {
            unit = Byte();
        }
        return text;
    }
    Text LongText() { // a short piece repeated up to 65,535 units: past the 16-bit counters
        Text text = ShortText(4) + u' ';
        const std::size_t length = Number(2);
        while (text.size() < length) {
            text += text;
        }
        return text.substr(0, length);
    }
    const Text& Interesting() { // the switches' spellings and values at their limits
        static const Text texts[] = {
            u"/CH",      u"-ch",        u"/HW",     u"-hw",  u"/BL",  u"-Bl",  u"/NOSEQ", u"-noseq",
            u"/ITDELIM", u"-ItDelim",   u"/KS",     u"-ks",  u"/VAL", u"-Val", u"/DB",    u"-db",
            u"/PS",      u"/NOSERVICE", u"/KS=5",   u"/CH ", u"-x",   u"",     u"5",      u"15",
            u"33",       u"63",         u"65536",   u"abc",  u"%",    u"a",    u"\"x\"",  u"a b",
            u"0",        u"/A /B=1",    u"abc-def", u"x;y"};
        return texts[Byte() % std::size(texts)];
    }
};

// A started page. A Yes/No box takes its answer from the next byte (odd: No).
struct FuzzPage : MessageBoxPort {
    explicit FuzzPage(FuzzInput& input) : answers(input) {
        fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
        page.UserControl_Initialize();
        FUZZ_CHECK(!page.ControlHasUnsavedChanges());
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
            if (box->Value() == CheckBox::Unchecked) {
                FUZZ_CHECK(!field->Enabled() && color == Colors::ButtonFace);
            } else if (box->Value() == CheckBox::Checked) {
                FUZZ_CHECK(field->Enabled() &&
                           (color == Colors::Window || color == Colors::Attention));
                FUZZ_CHECK(!field->GetText().empty() || color == Colors::Attention);
            }
        }
    }

    FuzzInput& answers;
    testing::FakePlatform fake;
    Platform ports{*this, fake.strings, fake.log, fake.hostObjects, fake.versions, fake.module};
    Varkel1Page page{ports};
};

// 0 one row, 1 one named row, 2 three rows, 3 fixed size, 4 locked, 5 three columns, 6 rows from
// 1, 7 no rows, 8 one dimension.
inline void Generate(FuzzPage& fuzz, int shape) {
    const Bounds pair{0, 1}, one{0, 0};
    const std::vector<Bounds> shapes[] = {{pair, one},    {pair, one},     {pair, {0, 2}},
                                          {pair, one},    {pair, one},     {{0, 2}, one},
                                          {pair, {1, 1}}, {pair, {0, -1}}, {pair}};
    MemoryArgumentList list(shapes[shape]);
    list.SetFixedSize(shape == 3);
    list.SetLocked(shape == 4);
    if (shape == 1) {
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
        FUZZ_CHECK(name.empty() ? value.empty() : name[0] == u'/' || name[0] == u'-');
    }
    fuzz.CheckInvariants();
}

} // namespace varkel::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#ifndef VARKEL_LIBFUZZER
// Replays the directory named last, naming each input before it runs: the one that breaks a
// property or hangs is the last named.
int main(int argc, char** argv) {
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(argv[argc - 1])) {
        std::fprintf(stderr, "replaying %s\n", entry.path().c_str());
        std::ifstream file(entry.path(), std::ios::binary);
        // Exactly the input's size, so that reading past it is caught.
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
        replayed += LLVMFuzzerTestOneInput(bytes.data(), bytes.size()) == 0;
    }
    return replayed == 0 ? 2 : 0;
}
#endif
