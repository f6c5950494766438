#include "FuzzSupport.h"

#include <array>
#include <cstring>

namespace varkel::fuzzing {

std::uint64_t FuzzInput::Number(int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= std::uint64_t{Byte()} << (8 * i);
    }
    return value;
}

char16_t FuzzInput::Unit() {
    const std::uint8_t first = Byte();
    return first != 0xFF || bytes_.size() - position_ < 2 ? first
                                                          : static_cast<char16_t>(Number(2));
}

Text FuzzInput::ShortText(std::size_t limit) {
    Text text(Byte() % (limit + 1), u'\0');
    for (auto& unit : text) {
        unit = Unit();
    }
    return text;
}

Text FuzzInput::Rest() {
    Text text;
    while (!Exhausted()) {
        text.push_back(Unit());
    }
    return text;
}

const Text& InterestingText(std::uint8_t number) {
    // Corpus files refer to these by position: add new ones at the end.
    static const std::array<Text, 36> texts{
        u"/CH",      u"-ch",        u"/HW",     u"-hw",  u"/BL",  u"-Bl",  u"/NOSEQ", u"-noseq",
        u"/ITDELIM", u"-ItDelim",   u"/KS",     u"-ks",  u"/VAL", u"-Val", u"/DB",    u"-db",
        u"/PS",      u"/NOSERVICE", u"/KS=5",   u"/CH ", u"-x",   u"",     u"5",      u"15",
        u"33",       u"63",         u"1000",    u"abc",  u"%",    u"a",    u"\"x\"",  u"a b",
        u"0",        u"/A /B=1",    u"abc-def", u"x;y"};
    return texts[number % texts.size()];
}

Text ReadRepeatedText(FuzzInput& input) {
    const Text piece = input.ShortText(4);
    Text text;
    const auto length = static_cast<std::size_t>(input.Number(2));
    while (text.size() < length) {
        text += piece.empty() ? u"7" : piece;
    }
    return text.substr(0, length);
}

namespace {
CellValue ReadCell(FuzzInput& input) {
    double real = 0;
    switch (input.Byte() % 11) {
    case 1:
        return CellValue::Null();
    case 2:
        return CellValue::FromInteger(static_cast<std::int8_t>(input.Byte()));
    case 3:
        return CellValue::FromInteger(static_cast<std::int64_t>(input.Number(8)));
    case 4: {
        const std::uint64_t bits = input.Number(8);
        std::memcpy(&real, &bits, sizeof real);
        return CellValue::FromReal(real);
    }
    case 5:
        return CellValue::FromBoolean((input.Byte() & 1) != 0);
    case 6:
        return CellValue::FromText(input.ShortText(40));
    case 7:
        return CellValue::Unsupported();
    case 8:
        return CellValue::FromText(InterestingText(input.Byte()));
    case 9:
        return CellValue::FromText(DecimalText(input.Byte() % 100));
    case 10:
        return CellValue::FromText(ReadRepeatedText(input));
    default:
        return CellValue::Empty();
    }
}
} // namespace

MemoryInputTable ReadInputTable(FuzzInput& input) {
    std::vector<Bounds> dimensions(input.Byte() % 4);
    for (std::size_t dimension = 0; dimension < dimensions.size(); ++dimension) {
        const auto lowerByte = input.Byte();
        const std::int32_t lower =
            lowerByte < 0x80 ? 0 : static_cast<std::int8_t>(lowerByte << 1) / 2;
        dimensions[dimension] = {lower, lower + input.Byte() % (dimension == 0 ? 6 : 48) - 1};
    }
    MemoryInputTable table(dimensions);
    for (auto row = 0; dimensions.size() == 2 && row < dimensions[1].Count(); ++row) {
        for (auto column = 0; column < dimensions[0].Count(); ++column) {
            table.Put(dimensions[0].lower + column, dimensions[1].lower + row, ReadCell(input));
        }
    }
    return table;
}

MemoryInputTable ReadWellFormedTable(FuzzInput& input, int maxRows) {
    const std::int32_t rows = input.Byte() % (maxRows + 1);
    MemoryInputTable table({{0, 2}, {0, rows - 1}});
    for (std::int32_t row = 0; row < rows; ++row) {
        table.Put(0, row, CellValue::FromText(InterestingText(input.Byte())));
        table.Put(1, row, CellValue::FromText(input.ShortText(8)));
        table.Put(2, row, CellValue::FromInteger(input.Byte() & 1));
    }
    return table;
}

FuzzPage::FuzzPage(FuzzInput& input, bool logFails) : answers(input) {
    fake.versions.AddFile(u"C:\\Interfaces\\D3\\d3intf.exe", 0x00020005, 0x000A012C);
    page.UserControl_Initialize();
    FUZZ_CHECK(boxes == 0 && !page.ControlHasUnsavedChanges());
    if (logFails) {
        fake.log.failure = Failures::DllNotFound(u"qxapi32.dll");
    }
}

MessageBoxAnswer FuzzPage::ShowModal(const MessageBoxRequest& request) {
    FUZZ_CHECK(++boxes <= boxLimit);
    if (request.Buttons == MessageBoxButtons::Ok) {
        return MessageBoxAnswer::Ok;
    }
    return (answers.Byte() & 1) != 0 ? MessageBoxAnswer::No : MessageBoxAnswer::Yes;
}

void FuzzPage::CheckInvariants() {
    int level = 0;
    for (int index = 0; index < page.chkDebug.Count(); ++index) {
        level += page.chkDebug[index].Value() == CheckBox::Checked ? 1 << index : 0;
    }
    FUZZ_CHECK(page.lblDBLevel.Caption() == DecimalText(level));
    FUZZ_CHECK(UpperCase(page.txtDelimiter.GetText()) == page.txtDelimiter.GetText());
    for (const auto& [box, field] :
         {std::pair{&page.chkDelimiter, &page.txtDelimiter},
          std::pair{&page.chkGLF, &page.txtGLFerr}, std::pair{&page.chkDigital, &page.txtOutput}}) {
        const OleColor color = field->BackColor();
        if (box->Value() == CheckBox::Unchecked) {
            FUZZ_CHECK(!field->Enabled() && color == Colors::ButtonFace);
        } else if (box->Value() == CheckBox::Checked) {
            FUZZ_CHECK(field->Enabled() && (color == Colors::Window || color == Colors::Attention));
            FUZZ_CHECK(!field->GetText().empty() || color == Colors::Attention);
        }
    }
    boxes = 0;
    boxLimit = 64;
}

} // namespace varkel::fuzzing
