#include "timeline/TypedRange.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/CivilDate.h"
#include "core/Text.h"
#include "timeline/CalendarAxis.h"

namespace kelvarox::timeline {

namespace {

constexpr double kSecondsPerDay = 86400;
const char* const kForms = "an orbit (1234), an orbit and MA (1234/128) or a date (2001-12-25)";

bool HasElements(const SatelliteDefinition* satellite) { return satellite && !satellite->Elements().empty(); }

// A whole number of `digits` digits (any number of them when 0), all of `text`.
std::optional<int64_t> Number(std::string_view text, size_t digits = 0) {
    if (text.empty() || (digits && text.size() != digits)) return std::nullopt;
    for (const char c : text)
        if (c < '0' || c > '9') return std::nullopt;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

TypedEnd Problem(std::string problem) {
    TypedEnd end;
    end.problem = std::move(problem);
    return end;
}

TypedEnd OrbitEnd(std::string_view text, RangeEnd end) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    const size_t slash = text.find('/');
    const auto orbit = Number(text.substr(0, slash));
    if (!orbit) return Problem(std::string("Type ") + kForms);
    const double signedOrbit = negative ? -static_cast<double>(*orbit) : static_cast<double>(*orbit);
    if (!(std::abs(signedOrbit) < kFarthest))
        return Problem("Orbit " + std::string(text) + " lies beyond the time line");
    TypedEnd typed;
    if (slash == std::string_view::npos) {
        typed.time = signedOrbit + (end == RangeEnd::To ? 1 : 0);
        return typed;
    }
    const auto ma = Number(text.substr(slash + 1));
    if (!ma) return Problem(std::string("Type ") + kForms);
    if (*ma > 255) return Problem("The MA runs from 0 to 255");
    typed.time = signedOrbit + static_cast<double>(*ma) / kMAPerOrbit;
    return typed;
}

// "2001-12-25", "2001-12-25 13:45", "2001-12-25T13:45:10".
TypedEnd DateEnd(std::string_view text, RangeEnd end, const DateLine& dates, const SatelliteDefinition* satellite) {
    const std::string typed(text);
    const auto year = Number(text.substr(0, 4), 4), month = Number(text.substr(5, 2), 2),
               day = Number(text.substr(8, 2), 2);
    if (!year || !month || !day || text[4] != '-' || text[7] != '-') return Problem(std::string("Type ") + kForms);
    const CivilDate date{static_cast<int32_t>(*year), static_cast<int32_t>(*month), static_cast<int32_t>(*day)};
    if (!IsValidDate(date)) return Problem(typed.substr(0, 10) + " is no date");
    const int64_t amDay = AmDayOfDate(date);

    std::optional<double> seconds;  // of the day, when a time is typed
    if (text.size() > 10) {
        const std::string_view time = text.substr(11);
        const bool withSeconds = time.size() == 8;
        if ((text[10] != ' ' && text[10] != 'T') || (time.size() != 5 && !withSeconds) || time[2] != ':' ||
            (withSeconds && time[5] != ':'))
            return Problem(std::string("Type ") + kForms);
        const auto hour = Number(time.substr(0, 2), 2), minute = Number(time.substr(3, 2), 2);
        const auto second = withSeconds ? Number(time.substr(6, 2), 2) : std::optional<int64_t>(0);
        if (!hour || !minute || !second) return Problem(std::string("Type ") + kForms);
        if (*hour > 23 || *minute > 59 || *second > 59) return Problem(std::string(time) + " is no time of day");
        if (!HasElements(satellite)) return Problem("A time of day needs the orbital elements of a satellite file");
        seconds = static_cast<double>(*hour * 3600 + *minute * 60 + *second);
    }

    TypedEnd result;
    result.form = EndForm::Date;
    if (HasElements(satellite)) {
        const double at =
            static_cast<double>(amDay) + (seconds ? *seconds / kSecondsPerDay : (end == RangeEnd::To ? 1.0 : 0.0));
        // The element set nearest the orbit, as the calendar axis and the boxes' texts take it.
        const OrbitTime estimate = OrbitOfTime(*satellite->ElementsNear(amDay), at);
        result.time = OrbitOfTime(*ElementsNearOrbit(*satellite, estimate), at);
        return result;
    }
    const auto times = dates.TimesOfDay(static_cast<int32_t>(amDay));
    if (!times) return Problem("No block is dated " + typed.substr(0, 10));
    result.time = end == RangeEnd::From ? std::floor(times->first) : std::floor(times->last) + 1;
    return result;
}

std::string OrbitEndText(OrbitTime time, RangeEnd end) {
    // In whole MA: From rounded down, To up; an orbit's end in To is that orbit.
    const double scaled = time * kMAPerOrbit;
    const double ma = end == RangeEnd::From ? std::floor(scaled + 1e-6) : std::ceil(scaled - 1e-6);
    const OrbitAndMA at = OrbitAndMAOf(ma / kMAPerOrbit);
    if (at.ma != 0) return std::to_string(at.orbit) + "/" + std::to_string(at.ma);
    return std::to_string(end == RangeEnd::From ? at.orbit : at.orbit - 1);
}

std::string DateTimeText(double amDayTime, RangeEnd end) {
    // In whole seconds: From rounded down, To up; a day's end in To is that day.
    const double scaled = amDayTime * kSecondsPerDay;
    const double whole = end == RangeEnd::From ? std::floor(scaled + 1e-3) : std::ceil(scaled - 1e-3);
    if (!std::isfinite(whole) || std::abs(whole) > 1e15) return {};
    const auto total = static_cast<int64_t>(whole);
    int64_t day = total >= 0 ? total / 86400 : (total - 86399) / 86400;
    const int64_t second = total - day * 86400;
    if (second == 0) return IsoDateText(end == RangeEnd::From ? day : day - 1);
    char time[16];
    std::snprintf(time, sizeof time, " %02d:%02d:%02d", static_cast<int>(second / 3600),
                  static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
    return IsoDateText(day) + time;
}

}  // namespace

TypedEnd ReadRangeEnd(std::string_view text, RangeEnd end, const DateLine& dates,
                      const SatelliteDefinition* satellite) {
    text = TrimBlanksAndControls(text);
    if (text.empty()) return Problem(std::string("Type ") + kForms);
    if (text.size() >= 10 && text[4] == '-') return DateEnd(text, end, dates, satellite);
    return OrbitEnd(text, end);
}

TypedRange ReadTypedRange(std::string_view from, std::string_view to, const DateLine& dates,
                          const SatelliteDefinition* satellite) {
    TypedRange range{std::nullopt, ReadRangeEnd(from, RangeEnd::From, dates, satellite),
                     ReadRangeEnd(to, RangeEnd::To, dates, satellite)};
    if (!range.from.time || !range.to.time) return range;
    if (!(*range.from.time < *range.to.time)) {
        range.from.problem = range.to.problem = "From must lie before To";
        return range;
    }
    range.view = TimeRange{*range.from.time, *range.to.time};
    return range;
}

std::string ViewEndText(const TimeRange& view, RangeEnd end, EndForm form, const DateLine& dates,
                        const SatelliteDefinition* satellite) {
    const OrbitTime time = end == RangeEnd::From ? view.left : view.right;
    if (form == EndForm::Date && HasElements(satellite)) {
        const std::string text = DateTimeText(TimeOfOrbit(*ElementsNearOrbit(*satellite, time), time), end);
        if (!text.empty()) return text;
    } else if (form == EndForm::Date) {
        const auto day = end == RangeEnd::From ? dates.FirstAmDayWithin(view.left, view.right)
                                               : dates.LastAmDayWithin(view.left, view.right);
        if (day) return IsoDateText(*day);
    }
    return OrbitEndText(time, end);
}

}  // namespace kelvarox::timeline
