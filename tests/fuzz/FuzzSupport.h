#pragma once
// Bytes past the input's end read as zeros; a text unit is one byte, or 0xFF and the unit in the
// next two. The corpus files are written in this reading: change it only together with them.

#include "page/Varkel1Page.h"
#include "support/Fakes.h"
#include "support/MemoryTables.h"

#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
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

    bool Exhausted() const { return position >= bytes.size(); }
    std::uint8_t Byte() { return Exhausted() ? std::uint8_t{0} : bytes[position++]; }
    std::uint64_t Number(int count) {
        std::uint64_t value = 0;
        for (int i = 0; i < count; ++i) {
            value |= std::uint64_t{Byte()} << (8 * i);
        }
        return value;
    }
    char16_t Unit() {
        const std::uint8_t first = Byte();
        return first != 0xFF || bytes.size() - position < 2 ? first
                                                            : static_cast<char16_t>(Number(2));
    }
    Text ShortText(std::size_t limit) { // a length byte modulo limit + 1, then the units
        Text text(Byte() % (limit + 1), u'\0');
        for (auto& unit : text) {
            unit = Unit();
        }
        return text;
    }
};

// Corpus files refer to these by position.
inline const Text& InterestingText(std::uint8_t number) {
    static const std::array<Text, 36> texts{
        u"/CH",      u"-ch",        u"/HW",     u"-hw",  u"/BL",  u"-Bl",  u"/NOSEQ", u"-noseq",
        u"/ITDELIM", u"-ItDelim",   u"/KS",     u"-ks",  u"/VAL", u"-Val", u"/DB",    u"-db",
        u"/PS",      u"/NOSERVICE", u"/KS=5",   u"/CH ", u"-x",   u"",     u"5",      u"15",
        u"33",       u"63",         u"1000",    u"abc",  u"%",    u"a",    u"\"x\"",  u"a b",
        u"0",        u"/A /B=1",    u"abc-def", u"x;y"};
    return texts[number % texts.size()];
}

// A short piece repeated up to 65,535 units: past the 16-bit counters.
inline Text ReadRepeatedText(FuzzInput& input) {
    const Text piece = input.ShortText(4);
    Text text;
    const auto length = static_cast<std::size_t>(input.Number(2));
    while (text.size() < length) {
        text += piece.empty() ? u"7" : piece;
    }
    return text.substr(0, length);
}

inline MemoryInputTable ReadInputTable(FuzzInput& input) { // rank 0 to 3, any bounds and entries
    using In = FuzzInput&;
    static CellValue (*const cells[])(In) = {
        [](In) { return CellValue::Empty(); },
        [](In) { return CellValue::Null(); },
        [](In i) { return CellValue::FromInteger(static_cast<std::int8_t>(i.Byte())); },
        [](In i) { return CellValue::FromInteger(static_cast<std::int64_t>(i.Number(8))); },
        [](In i) { return CellValue::FromReal(std::bit_cast<double>(i.Number(8))); },
        [](In i) { return CellValue::FromBoolean((i.Byte() & 1) != 0); },
        [](In i) { return CellValue::FromText(i.ShortText(40)); },
        [](In) { return CellValue::Unsupported(); },
        [](In i) { return CellValue::FromText(InterestingText(i.Byte())); },
        [](In i) { return CellValue::FromText(DecimalText(i.Byte() % 100)); },
        [](In i) { return CellValue::FromText(ReadRepeatedText(i)); }};
    std::vector<Bounds> dimensions(input.Byte() % 4);
    for (std::size_t dimension = 0; dimension < dimensions.size(); ++dimension) {
        const std::uint8_t low = input.Byte();
        const std::int32_t lower = low < 0x80 ? 0 : static_cast<std::int8_t>(low << 1) / 2;
        dimensions[dimension] = {lower, lower + input.Byte() % (dimension == 0 ? 6 : 48) - 1};
    }
    MemoryInputTable table(dimensions);
    for (auto row = 0; dimensions.size() == 2 && row < dimensions[1].Count(); ++row) {
        for (auto column = 0; column < dimensions[0].Count(); ++column) {
            table.Put(dimensions[0].lower + column, dimensions[1].lower + row,
                      cells[input.Byte() % 11](input));
        }
    }
    return table;
}

inline MemoryInputTable ReadWellFormedTable(FuzzInput& input, int maxRows) {
    const std::int32_t rows = input.Byte() % (maxRows + 1);
    MemoryInputTable table({{0, 2}, {0, rows - 1}});
    for (std::int32_t row = 0; row < rows; ++row) {
        table.Put(0, row, CellValue::FromText(InterestingText(input.Byte())));
        table.Put(1, row, CellValue::FromText(input.ShortText(8)));
        table.Put(2, row, CellValue::FromInteger(input.Byte() & 1));
    }
    return table;
}

// A started page. A Yes/No box takes its answer from the next byte (odd: No); more than
// `boxLimit` boxes between two checks fail the run: no operation shows that many.
struct FuzzPage : MessageBoxPort {
    FuzzPage(FuzzInput& input, bool logFails) : answers(input) {
        fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
        page.UserControl_Initialize();
        FUZZ_CHECK(boxes == 0 && !page.ControlHasUnsavedChanges());
        if (logFails) {
            fake.log.failure = Failures::DllNotFound(u"qxapi32.dll");
        }
    }
    MessageBoxAnswer ShowModal(const MessageBoxRequest& request) override {
        FUZZ_CHECK(++boxes <= boxLimit);
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
        boxes = 0;
        boxLimit = 64;
    }

    FuzzInput& answers;
    testing::FakePlatform fake;
    Platform ports{*this, fake.strings, fake.log, fake.hostObjects, fake.versions, fake.module};
    Varkel1Page page{ports};
    int boxes = 0;
    int boxLimit = 64;
};

} // namespace varkel::fuzzing
