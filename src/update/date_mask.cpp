#include "update/date_mask.h"

#include "text/text.h"

namespace vuni {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to a civil date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

enum class Field { Year4, Year2, Month, Day, Hour, Minute, Second };

struct Token {
    std::string_view text; // without the "%"
    Field field;
    int width;
};

// Longer tokens first, so that %yyyy is not read as %yy followed by "yy".
constexpr Token kTokens[] = {
    {"yyyy", Field::Year4, 4}, {"yy", Field::Year2, 2}, {"mm", Field::Month, 2},
    {"dd", Field::Day, 2},     {"hh", Field::Hour, 2},  {"ii", Field::Minute, 2},
    {"ss", Field::Second, 2},
};

const Token* TokenAt(std::string_view mask, size_t pos) {
    if (pos >= mask.size() || mask[pos] != '%') {
        return nullptr;
    }
    const std::string_view rest = mask.substr(pos + 1);
    for (const Token& token : kTokens) {
        if (StartsWithNoCase(rest, token.text)) {
            return &token;
        }
    }
    return nullptr;
}

std::string Padded(int64_t value, int width) {
    std::string digits = Decimal(value < 0 ? -value : value);
    while (static_cast<int>(digits.size()) < width) {
        digits.insert(digits.begin(), '0');
    }
    return value < 0 ? "-" + digits : digits;
}

} // namespace

WallClock WallClockFromSeconds(int64_t seconds) {
    int64_t days = seconds / kSecondsPerDay;
    int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    int64_t year = 0;
    WallClock t;
    CivilFromDays(days, year, t.month, t.day);
    t.year = static_cast<int>(year);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

int64_t SecondsFromWallClock(const WallClock& t) {
    return DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + int64_t{t.hour} * 3600 +
           int64_t{t.minute} * 60 + t.second;
}

bool IsValidWallClock(const WallClock& t) {
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= DaysInMonth(t.year, t.month) &&
           t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
           t.second <= 59;
}

bool AppendDateToken(std::string_view mask, size_t& pos, const WallClock& t, std::string& out) {
    const Token* token = TokenAt(mask, pos);
    if (token == nullptr) {
        return false;
    }
    switch (token->field) {
    case Field::Year4:
        out += Padded(t.year, 4);
        break;
    case Field::Year2:
        out += Padded(((t.year % 100) + 100) % 100, 2);
        break;
    case Field::Month:
        out += Padded(t.month, 2);
        break;
    case Field::Day:
        out += Padded(t.day, 2);
        break;
    case Field::Hour:
        out += Padded(t.hour, 2);
        break;
    case Field::Minute:
        out += Padded(t.minute, 2);
        break;
    case Field::Second:
        out += Padded(t.second, 2);
        break;
    }
    pos += 1 + token->text.size();
    return true;
}

std::string FormatDateMask(std::string_view mask, const WallClock& time) {
    std::string out;
    size_t pos = 0;
    while (pos < mask.size()) {
        if (!AppendDateToken(mask, pos, time, out)) {
            out += mask[pos++];
        }
    }
    return out;
}

std::string FormatDateSeconds(std::string_view mask, int64_t seconds) {
    return FormatDateMask(mask, WallClockFromSeconds(seconds));
}

int64_t ParseDateMask(std::string_view mask, std::string_view text) {
    WallClock t;
    size_t m = 0;
    size_t p = 0;
    while (m < mask.size() && p < text.size()) {
        const Token* token = TokenAt(mask, m);
        if (token == nullptr) {
            if (text[p] != mask[m]) {
                return 0;
            }
            ++m;
            ++p;
            continue;
        }
        int value = 0;
        int digits = 0;
        while (digits < token->width && p < text.size() && text[p] >= '0' && text[p] <= '9') {
            value = value * 10 + (text[p] - '0');
            ++digits;
            ++p;
        }
        if (digits == 0) {
            return 0;
        }
        switch (token->field) {
        case Field::Year4:
            t.year = value;
            break;
        case Field::Year2:
            t.year = 2000 + value;
            break;
        case Field::Month:
            t.month = value;
            break;
        case Field::Day:
            t.day = value;
            break;
        case Field::Hour:
            t.hour = value;
            break;
        case Field::Minute:
            t.minute = value;
            break;
        case Field::Second:
            t.second = value;
            break;
        }
        m += 1 + token->text.size();
    }
    return IsValidWallClock(t) ? SecondsFromWallClock(t) : 0;
}

} // namespace vuni
