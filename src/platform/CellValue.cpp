#include "platform/CellValue.h"

#include "common/Failure.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace varkel {

namespace {

Text RealText(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        return DecimalText(static_cast<std::int64_t>(value));
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return FromUtf8(buffer);
}

// A number written as text: optional blanks and sign, digits, optional fraction.
bool ParseNumber(const Text& text, double& number) {
    std::string narrow;
    for (char16_t unit : text) {
        if (unit > 0x7F) {
            return false;
        }
        narrow.push_back(static_cast<char>(unit));
    }
    const auto first = narrow.find_first_not_of(' ');
    if (first == std::string::npos) {
        return false;
    }
    const auto last = narrow.find_last_not_of(' ');
    narrow = narrow.substr(first, last - first + 1);
    std::size_t consumed = 0;
    try {
        number = std::stod(narrow, &consumed);
    } catch (const std::exception&) {
        return false;
    }
    return consumed == narrow.size() && std::isfinite(number);
}

} // namespace

Text CellText(const CellValue& value) {
    switch (value.kind) {
    case CellValue::Kind::Empty:
        return {};
    case CellValue::Kind::Null:
        throw Failures::InvalidUseOfNull();
    case CellValue::Kind::Integer:
        return DecimalText(value.integer);
    case CellValue::Kind::Real:
        return RealText(value.real);
    case CellValue::Kind::Boolean:
        return value.boolean ? u"True" : u"False";
    case CellValue::Kind::String:
        return value.text;
    case CellValue::Kind::Unsupported:
        break;
    }
    throw Failures::TypeMismatch();
}

bool CellIsZero(const CellValue& value) {
    switch (value.kind) {
    case CellValue::Kind::Empty:
        return true;
    case CellValue::Kind::Null:
        throw Failures::InvalidUseOfNull();
    case CellValue::Kind::Integer:
        return value.integer == 0;
    case CellValue::Kind::Real:
        return value.real == 0.0;
    case CellValue::Kind::Boolean:
        return !value.boolean;
    case CellValue::Kind::String: {
        if (value.text.empty()) {
            return true;
        }
        double number = 0;
        if (!ParseNumber(value.text, number)) {
            throw Failures::TypeMismatch();
        }
        return number == 0.0;
    }
    case CellValue::Kind::Unsupported:
        break;
    }
    throw Failures::TypeMismatch();
}

} // namespace varkel
