#include "exchange/ImportValues.h"

#include "core/DateUtil.h"

#include <algorithm>
#include <charconv>

namespace exchange {

namespace {

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Quoted(std::string_view text) {
    return "\u201E" + std::string(text) + "\u201C";
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// yyyy-mm-dd (month and day with one or two digits) as d.m.yyyy, which the
// date parser checks; anything else unchanged.
std::string GermanOrder(std::string_view text) {
    const std::size_t first = text.find('-');
    const std::size_t second = first == std::string_view::npos ? first : text.find('-', first + 1);
    if (first != 4 || second == std::string_view::npos)
        return std::string(text);
    const std::string_view year = text.substr(0, first);
    const std::string_view month = text.substr(first + 1, second - first - 1);
    const std::string_view day = text.substr(second + 1);
    if (!AllDigits(year) || !AllDigits(month) || !AllDigits(day))
        return std::string(text);
    return std::string(day) + "." + std::string(month) + "." + std::string(year);
}

// d.m.yy as spreadsheets write it (German LibreOffice saves "15.03.23") as
// d.m.yyyy, with their usual pivot: 00-29 are 2000-2029, 30-99 are 1930-1999.
// Anything else unchanged.
std::string FourDigitYear(std::string text) {
    const std::size_t last = text.rfind('.');
    if (last == std::string::npos || text.size() - last != 3 ||
        std::count(text.begin(), text.end(), '.') != 2 ||
        !AllDigits(std::string_view(text).substr(last + 1)))
        return text;
    const int year = (text[last + 1] - '0') * 10 + (text[last + 2] - '0');
    return text.substr(0, last + 1) + std::to_string(year < 30 ? 2000 + year : 1900 + year);
}

// Digits in groups of three after a first group of one to three, with a dot
// between the groups: "1.000", "12.345.678".
bool DotGrouped(std::string_view text) {
    const std::size_t first = text.find('.');
    if (first == std::string_view::npos || first == 0 || first > 3 ||
        !AllDigits(text.substr(0, first)))
        return false;
    std::string_view rest = text.substr(first);
    for (; !rest.empty(); rest.remove_prefix(4))
        if (rest.size() < 4 || rest[0] != '.' || !AllDigits(rest.substr(1, 3)))
            return false;
    return true;
}

// The same with commas ("1,000"): thousands as English spreadsheets write
// them, or three decimals in German. Which one was meant cannot be told.
bool CommaGrouped(std::string_view text) {
    if (text.find('.') != std::string_view::npos)
        return false;
    std::string grouped(text);
    std::replace(grouped.begin(), grouped.end(), ',', '.');
    return DotGrouped(grouped);
}

} // namespace

std::variant<double, CellRefusal> ParseDateCell(std::string_view text) {
    const std::string_view value = Trimmed(text);
    if (value.empty())
        return NoCalendarDay;
    if (const auto day = ParseDate(FourDigitYear(GermanOrder(value))))
        return EncodeDate(*day);
    return CellRefusal{"ung\u00FCltiges Datum " + Quoted(text) +
                       " (erwartet TT.MM.JJJJ oder JJJJ-MM-TT)"};
}

std::variant<std::uint32_t, CellRefusal> ParseMinutesCell(std::string_view text) {
    std::string_view value = Trimmed(text);
    if (value.empty())
        return std::uint32_t{0};
    const bool negative = value.front() == '-';
    if (negative || value.front() == '+')
        value.remove_prefix(1);
    if (CommaGrouped(value))
        return CellRefusal{"Aufwand " + Quoted(text) +
                           " ist mehrdeutig: Tausender werden mit Punkt getrennt (1.000), "
                           "Nachkommastellen mit Komma"};
    // The whole part and the fraction: after a comma, or after a dot that
    // does not separate thousands ("15.00" as English spreadsheets write it).
    std::size_t point = value.find(',');
    if (point == std::string_view::npos && !DotGrouped(value))
        point = value.find('.');
    std::string digits(value.substr(0, point));
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : value.substr(point + 1);
    if (DotGrouped(digits))
        digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    if (!AllDigits(digits) || (point != std::string_view::npos && !AllDigits(fraction)))
        return CellRefusal{"Aufwand " + Quoted(text) + " ist keine Zahl"};
    // A zero fraction ("15,0", "1.000,00") is still whole minutes.
    if (fraction.find_first_not_of('0') != std::string_view::npos)
        return CellRefusal{"Aufwand " + Quoted(text) + " ist keine ganze Zahl von Minuten"};
    std::uint32_t minutes = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), minutes);
    if (error != std::errc() || end != digits.data() + digits.size())
        return CellRefusal{"Aufwand " + Quoted(text) + " ist zu gro\u00DF (h\u00F6chstens " +
                           "4294967295 Minuten)"};
    if (negative && minutes != 0)
        return CellRefusal{"negativer Aufwand " + Quoted(text)};
    return minutes;
}

} // namespace exchange
