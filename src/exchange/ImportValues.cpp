#include "exchange/ImportValues.h"

#include "core/DateUtil.h"

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

} // namespace

std::variant<double, CellRefusal> ParseDateCell(std::string_view text) {
    const std::string_view value = Trimmed(text);
    if (value.empty())
        return NoCalendarDay;
    if (const auto day = ParseDate(GermanOrder(value)))
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
    // A zero fraction ("15,0", "15.00") is still whole minutes.
    if (const std::size_t point = value.find_first_of(".,"); point != std::string_view::npos) {
        const std::string_view fraction = value.substr(point + 1);
        if (fraction.find_first_not_of('0') != std::string_view::npos)
            return CellRefusal{"Aufwand " + Quoted(text) + " ist keine ganze Zahl von Minuten"};
        value = value.substr(0, point);
    }
    if (!AllDigits(value))
        return CellRefusal{"Aufwand " + Quoted(text) + " ist keine Zahl"};
    std::uint32_t minutes = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), minutes);
    if (error != std::errc() || end != value.data() + value.size())
        return CellRefusal{"Aufwand " + Quoted(text) + " ist zu gro\u00DF (h\u00F6chstens " +
                           "4294967295 Minuten)"};
    if (negative && minutes != 0)
        return CellRefusal{"negativer Aufwand " + Quoted(text)};
    return minutes;
}

} // namespace exchange
