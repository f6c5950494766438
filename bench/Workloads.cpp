#include "Workloads.h"

#include "common/ThreadState.h"

#include <array>

namespace varkel::bench {

Text AdditionalText(std::size_t length) {
    struct Shape {
        const char16_t* text;
        bool numbered; // followed by the argument's number
        bool quoted;   // a quoted path with a blank, closed after the number
    };
    static constexpr std::array<Shape, 8> shapes{
        {{u"/PS=", true, false},
         {u"-ID=if", true, false},
         {u"/HOST=qxserver", true, false},
         {u"/PATH=\"c:\\interfaces\\d3 data\\", true, true},
         {u"/Q", false, false},
         {u"-SIO", false, false},
         {u"/F=00:00:0", true, false},
         {u"/NOSERVICE", false, false}}};
    Text text;
    for (std::size_t n = 0; text.size() < length; ++n) {
        const Shape& shape = shapes[n % shapes.size()];
        text += shape.text;
        if (shape.numbered) {
            text += DecimalText(static_cast<std::int64_t>(n));
        }
        if (shape.quoted) {
            text += u'"';
        }
        text += u' ';
    }
    text.resize(length);
    return text;
}

Text TokenText(int tokens) {
    Text text;
    for (int n = 0; n < tokens; ++n) {
        text += u"/T" + DecimalText(n) + u"=" + DecimalText(n % 97) + u" ";
    }
    return text;
}

MemoryInputTable UnknownArguments(int rows) {
    MemoryInputTable table({{0, 2}, {0, rows - 1}});
    for (int row = 0; row < rows; ++row) {
        table.Put(0, row, CellValue::FromText(u"/U" + DecimalText(row)));
        table.Put(1, row, CellValue::FromText(DecimalText(row)));
        table.Put(2, row, CellValue::FromInteger(0));
    }
    return table;
}

StartedPage::StartedPage() {
    CurrentThreadState() = ThreadState{};
    page_ = std::make_unique<Varkel1Page>(fake_.ports);
    page_->UserControl_Initialize();
}

} // namespace varkel::bench
