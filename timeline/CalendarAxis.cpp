#include "timeline/CalendarAxis.h"

#include <cmath>
#include <cstdio>

#include "core/CivilDate.h"
#include "core/OrbitalElements.h"
#include "timeline/TimeAxis.h"

namespace kelvarox::timeline {

namespace {

constexpr double kMinute = 1.0 / 1440;

// The orbit at the elements' epoch.
OrbitTime EpochOrbit(const ElementSet& e) {
    return static_cast<double>(e.revolution + e.orbitOffset) + e.meanAnomaly / 360.0;
}

struct Step {
    double days;  // for steps below a month
    int months;   // for steps of months and years
};

constexpr Step kSteps[] = {{kMinute / 6, 0},
                           {kMinute / 2, 0},
                           {kMinute, 0},
                           {5 * kMinute, 0},
                           {10 * kMinute, 0},
                           {30 * kMinute, 0},
                           {60 * kMinute, 0},
                           {3.0 / 24, 0},
                           {6.0 / 24, 0},
                           {12.0 / 24, 0},
                           {1, 0},
                           {2, 0},
                           {7, 0},
                           {14, 0},
                           {0, 1},
                           {0, 3},
                           {0, 6},
                           {0, 12},
                           {0, 24},
                           {0, 60},
                           {0, 120},
                           {0, 240}};

// The first day of the month `months` after January of year 1978 + 0, as an AmDay.
double MonthStart(int64_t months) {
    const int64_t year = 1978 + (months >= 0 ? months / 12 : (months - 11) / 12);
    const int32_t month = static_cast<int32_t>(months - (year - 1978) * 12) + 1;
    return static_cast<double>(AmDayOfDate({static_cast<int32_t>(year), month, 1}));
}

// The UTC to the minute, or to the nearest second: "2001-12-25T13:04:05.123Z".
std::string UtcTextTo(double amDayTime, bool seconds) { return UtcText(amDayTime + (seconds ? 0.5 : 0) / 86400); }

// The time of day to the minute, or to the second.
std::string TimeOfDayText(double amDayTime, bool seconds) {
    const std::string utc = UtcTextTo(amDayTime, seconds);
    return utc.size() >= 19 ? utc.substr(11, seconds ? 8 : 5) : utc;
}

// The date and the time of day of one rounded time, so that the date follows a second rounded up
// past midnight.
std::string DateAndTimeText(double amDayTime, bool seconds) {
    const std::string utc = UtcTextTo(amDayTime, seconds);
    return utc.size() >= 19 ? utc.substr(0, 10) + " " + utc.substr(11, seconds ? 8 : 5) : utc;
}

}  // namespace

const ElementSet* ElementsNearOrbit(const SatelliteDefinition& satellite, OrbitTime orbit) {
    const ElementSet* nearest = nullptr;
    for (const ElementSet& e : satellite.Elements())
        if (!nearest || std::fabs(EpochOrbit(e) - orbit) < std::fabs(EpochOrbit(*nearest) - orbit)) nearest = &e;
    return nearest;
}

double TimeOfOrbit(const ElementSet& e, OrbitTime orbit) {
    const double whole = std::floor(orbit);
    return SampleAmDayTime(e, static_cast<int64_t>(whole), (orbit - whole) * kMAPerOrbit);
}

OrbitTime OrbitOfTime(const ElementSet& e, double amDayTime) {
    return EpochOrbit(e) + (amDayTime - e.epochAmDay) * e.meanMotion;
}

std::optional<AxisPicture> ComposeCalendarAxis(const TimeRange& view, const SatelliteDefinition& satellite, int width) {
    const ElementSet* e = ElementsNearOrbit(satellite, (view.left + view.right) / 2);
    if (!e) return std::nullopt;
    const int traceWidth = TraceWidth(width);
    const double from = TimeOfOrbit(*e, view.left), to = TimeOfOrbit(*e, view.right);
    AxisPicture axis;
    axis.width = width;
    const double span = to - from;
    const double daysPerPixel = span / traceWidth;
    const Step* step = &kSteps[std::size(kSteps) - 1];
    for (const Step& s : kSteps) {
        const double days = s.months ? s.months * 28 : s.days;  // the shortest month
        if (days / daysPerPixel >= kMarkSpacing) {
            step = &s;
            break;
        }
    }
    const bool seconds = !step->months && step->days < kMinute;
    axis.firstDate = DateAndTimeText(from, seconds);
    axis.lastDate = DateAndTimeText(to, seconds);
    if (!(span > 0) || !std::isfinite(span)) return axis;
    const auto add = [&](double t) {
        const double x = PixelOf(view, OrbitOfTime(*e, t), traceWidth);
        if (x < 0 || x > traceWidth) return;
        TimeMark mark;
        mark.time = OrbitOfTime(*e, t);
        mark.x = static_cast<int32_t>(std::lround(x)) + layout::kValueAxisWidth;
        const bool dayStart = std::fabs(t - std::round(t)) < kMinute / 100;
        const auto day = static_cast<int64_t>(std::round(t));
        if (step->months >= 12)
            mark.orbitText = std::to_string(DateOfAmDay(day).year);
        else
            mark.orbitText = step->months || step->days >= 1 ? IsoDateText(day) : TimeOfDayText(t, seconds);
        if (dayStart && step->days < 1 && !step->months)
            mark.dateText = IsoDateText(static_cast<int64_t>(std::round(t)));
        axis.marks.push_back(std::move(mark));
    };
    if (step->months) {
        const CivilDate d = DateOfAmDay(static_cast<int64_t>(std::floor(from)));
        for (int64_t m = (d.year - 1978) * 12 + d.month - 1 + 1; MonthStart(m) <= to; ++m)
            if (m % step->months == 0) add(MonthStart(m));
    } else {
        for (auto k = static_cast<int64_t>(std::ceil(from / step->days - 1e-9)); k * step->days <= to; ++k)
            add(static_cast<double>(k) * step->days);
    }
    return axis;
}

}  // namespace kelvarox::timeline
