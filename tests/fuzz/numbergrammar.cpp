#include "numbergrammar.h"

namespace numbergrammar {

namespace {

// The states of a left-to-right scan. Where one character could be read two ways (a blank or a
// sign that is also the separator), the order of the rules decides, so each state asks in that
// order.
enum class State
{
    LeadingBlanks,
    AfterSign,
    IntegerDigits,
    FractionDigits, // the separator has been taken
    ExponentMark,
    ExponentSign,
    ExponentDigits,
    TrailingBlanks,
    Rejected,
};

constexpr int kExponentLimit = 500;

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isExponentMark(char16_t c)
{
    return c == u'E' || c == u'e';
}

struct Scan
{
    State state = State::LeadingBlanks;
    bool tookSignificand = false; // a digit or the separator
    NumberParts parts;
    int exponentMagnitude = 0;
    bool exponentNegative = false;
};

// After the significand: an exponent, trailing blanks or nothing else.
State afterSignificand(Scan &scan, char16_t c)
{
    if (!scan.tookSignificand)
        return State::Rejected;
    if (isExponentMark(c))
        return State::ExponentMark;
    if (c == u' ')
        return State::TrailingBlanks;
    return State::Rejected;
}

State step(Scan &scan, char16_t c, char16_t separator)
{
    switch (scan.state) {
    case State::LeadingBlanks:
        if (c == u' ')
            return State::LeadingBlanks;
        if (c == u'+' || c == u'-') {
            scan.parts.negative = c == u'-';
            return State::AfterSign;
        }
        [[fallthrough]];
    case State::AfterSign:
    case State::IntegerDigits:
        if (isDigit(c)) {
            scan.parts.digits += static_cast<char>(c);
            scan.tookSignificand = true;
            return State::IntegerDigits;
        }
        if (c == separator) {
            scan.tookSignificand = true;
            return State::FractionDigits;
        }
        return afterSignificand(scan, c);
    case State::FractionDigits:
        if (isDigit(c)) {
            scan.parts.digits += static_cast<char>(c);
            ++scan.parts.fractionDigits;
            return State::FractionDigits;
        }
        return afterSignificand(scan, c);
    case State::ExponentMark:
        if (c == u'+' || c == u'-') {
            scan.exponentNegative = c == u'-';
            return State::ExponentSign;
        }
        [[fallthrough]];
    case State::ExponentSign:
    case State::ExponentDigits:
        // Once the exponent has reached the limit, a further digit is left over and rejected.
        if (isDigit(c) && scan.exponentMagnitude < kExponentLimit) {
            scan.exponentMagnitude = scan.exponentMagnitude * 10 + (c - u'0');
            return State::ExponentDigits;
        }
        [[fallthrough]];
    case State::TrailingBlanks:
        return c == u' ' ? State::TrailingBlanks : State::Rejected;
    case State::Rejected:
        break;
    }
    return State::Rejected;
}

} // namespace

std::optional<NumberParts> match(std::u16string_view text, char16_t separator)
{
    Scan scan;
    for (const char16_t c : text) {
        scan.state = step(scan, c, separator);
        if (scan.state == State::Rejected)
            return std::nullopt;
    }
    // Trailing blanks are reached only after a significand, so only the start states can end
    // without one.
    if (!scan.tookSignificand)
        return std::nullopt;
    scan.parts.exponent = scan.exponentNegative ? -scan.exponentMagnitude : scan.exponentMagnitude;
    return scan.parts;
}

} // namespace numbergrammar
