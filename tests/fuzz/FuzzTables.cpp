#include "FuzzTables.h"

#include <array>
#include <cstring>

namespace varkel::fuzzing {

namespace {
// make-seeds.py refers to these by position: add new ones at the end.
const std::array<Text, 36> Interesting{
    u"/CH",      u"-ch",  u"/HW", u"-hw",   u"/BL",  u"-Bl", u"/NOSEQ",  u"-noseq",  u"/ITDELIM",
    u"-ItDelim", u"/KS",  u"-ks", u"/VAL",  u"-Val", u"/DB", u"-db",     u"/PS",     u"/NOSERVICE",
    u"/KS=5",    u"/CH ", u"-x",  u"",      u"5",    u"15",  u"33",      u"63",      u"1000",
    u"abc",      u"%",    u"a",   u"\"x\"", u"a b",  u"0",   u"/A /B=1", u"abc-def", u"x;y"};

enum class CellKind {
    Empty,
    Null,
    SmallInteger,
    Integer,
    Real,
    Boolean,
    String,
    Unsupported,
    InterestingText,
    Digits,
    RepeatedText,
    Count
};

std::int32_t ReadLowerBound(FuzzInput& input) {
    const std::uint8_t byte = input.Byte();
    if ((byte & 0x80) == 0) {
        return 0;
    }
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(byte << 1)) / 2;
}
} // namespace

Text ReadRepeatedText(FuzzInput& input) {
    Text piece = input.ShortText(4);
    const auto length = static_cast<std::size_t>(input.Number(2));
    if (piece.empty()) {
        piece = u"7";
    }
    Text text;
    text.reserve(length + piece.size());
    while (text.size() < length) {
        text += piece;
    }
    text.resize(length);
    return text;
}

std::span<const Text> InterestingTexts() {
    return Interesting;
}

CellValue ReadCell(FuzzInput& input) {
    switch (static_cast<CellKind>(input.Byte() % static_cast<int>(CellKind::Count))) {
    case CellKind::Empty:
        return CellValue::Empty();
    case CellKind::Null:
        return CellValue::Null();
    case CellKind::SmallInteger:
        return CellValue::FromInteger(static_cast<std::int8_t>(input.Byte()));
    case CellKind::Integer:
        return CellValue::FromInteger(static_cast<std::int64_t>(input.Number(8)));
    case CellKind::Real: {
        const std::uint64_t bits = input.Number(8);
        double real = 0;
        std::memcpy(&real, &bits, sizeof real);
        return CellValue::FromReal(real);
    }
    case CellKind::Boolean:
        return CellValue::FromBoolean((input.Byte() & 1) != 0);
    case CellKind::String:
        return CellValue::FromText(input.ShortText(40));
    case CellKind::Unsupported:
        return CellValue::Unsupported();
    case CellKind::InterestingText:
        return CellValue::FromText(Interesting[input.Byte() % Interesting.size()]);
    case CellKind::Digits: {
        Text digits(input.Byte() % 5, u'0');
        for (auto& digit : digits) {
            digit = static_cast<char16_t>(u'0' + input.Byte() % 10);
        }
        return CellValue::FromText(digits);
    }
    case CellKind::RepeatedText:
        return CellValue::FromText(ReadRepeatedText(input));
    case CellKind::Count:
        break;
    }
    return CellValue::Empty();
}

MemoryInputTable ReadInputTable(FuzzInput& input) {
    const int rank = input.Byte() % 4;
    std::vector<Bounds> dimensions;
    for (int dimension = 0; dimension < rank; ++dimension) {
        const std::int32_t lower = ReadLowerBound(input);
        const std::int32_t count = input.Byte() % (dimension == 0 ? 6 : 48);
        dimensions.push_back({lower, lower + count - 1});
    }
    MemoryInputTable table(dimensions);
    if (rank == 2) {
        for (auto row = dimensions[1].lower; row <= dimensions[1].upper; ++row) {
            for (auto column = dimensions[0].lower; column <= dimensions[0].upper; ++column) {
                table.Put(column, row, ReadCell(input));
            }
        }
    }
    return table;
}

MemoryInputTable ReadWellFormedTable(FuzzInput& input, int maxRows) {
    const std::int32_t rows = input.Byte() % (maxRows + 1);
    MemoryInputTable table({{0, 2}, {0, rows - 1}});
    for (std::int32_t row = 0; row < rows; ++row) {
        table.Put(0, row, CellValue::FromText(Interesting[input.Byte() % Interesting.size()]));
        table.Put(1, row, CellValue::FromText(input.ShortText(8)));
        table.Put(2, row, CellValue::FromInteger(input.Byte() & 1));
    }
    return table;
}

} // namespace varkel::fuzzing
