#include "core/OrbitalElements.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/CivilDate.h"
#include "core/Text.h"

namespace kelvarox {

namespace {

// A field of a line: columns `first` to `last`, 1-based and both included.
struct Field {
    int first;
    int last;
    const char* name;
};

constexpr Field kSatellite{3, 7, "satellite number"};
constexpr Field kEpochYear{19, 20, "epoch year"};
constexpr Field kEpochDay{21, 32, "epoch day"};
constexpr Field kInclination{9, 16, "inclination"};
constexpr Field kAscendingNode{18, 25, "right ascension of the ascending node"};
constexpr Field kEccentricity{27, 33, "eccentricity"};
constexpr Field kPerigee{35, 42, "argument of perigee"};
constexpr Field kMeanAnomaly{44, 51, "mean anomaly"};
constexpr Field kMeanMotion{53, 63, "mean motion"};
constexpr Field kRevolution{64, 68, "revolution number"};

std::string_view Columns(std::string_view line, Field f) {
    return line.substr(static_cast<size_t>(f.first - 1), static_cast<size_t>(f.last - f.first + 1));
}

class LineReader {
public:
    LineReader(std::string_view text, int number, ElementFault& fault) : text_(text), number_(number), fault_(fault) {}

    bool Fail(int column, std::string message) {
        fault_ = {number_, column, std::move(message)};
        return false;
    }

    // The field as a decimal number (blanks around it allowed), within [low, high).
    bool Number(Field f, double low, double high, double& out) {
        const std::string_view t = TrimBlanks(Columns(text_, f));
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
        if (t.empty() || ec != std::errc() || end != t.data() + t.size())
            return Fail(f.first,
                        "the " + std::string(f.name) + " \"" + std::string(Columns(text_, f)) + "\" is no number");
        if (!(out >= low && out < high)) return Fail(f.first, "the " + std::string(f.name) + " is out of range");
        return true;
    }

    // The field as digits (leading blanks allowed).
    bool Digits(Field f, int64_t& out) {
        const std::string_view t = TrimBlanks(Columns(text_, f));
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
        if (t.empty() || ec != std::errc() || end != t.data() + t.size() || t[0] == '-')
            return Fail(f.first, "the " + std::string(f.name) + " \"" + std::string(Columns(text_, f)) +
                                     "\" is no whole number");
        return true;
    }

    // Length, line number and checksum.
    bool Frame() {
        if (text_.size() != kElementLineLength)
            return Fail(
                1, "line " + std::to_string(number_) + " has " + std::to_string(text_.size()) + " characters, not 69");
        if (text_[0] != static_cast<char>('0' + number_))
            return Fail(1, "line " + std::to_string(number_) + " must begin with " + std::to_string(number_));
        const char last = text_[kElementLineLength - 1];
        if (last < '0' || last > '9' || last - '0' != ElementChecksum(text_))
            return Fail(69, "the checksum of line " + std::to_string(number_) + " is wrong: it should be " +
                                std::to_string(ElementChecksum(text_)));
        return true;
    }

private:
    std::string_view text_;
    int number_;
    ElementFault& fault_;
};

}  // namespace

int ElementChecksum(std::string_view line) {
    int sum = 0;
    for (size_t i = 0; i < line.size() && i < kElementLineLength - 1; ++i) {
        const char c = line[i];
        if (c >= '0' && c <= '9')
            sum += c - '0';
        else if (c == '-')
            sum += 1;
    }
    return sum % 10;
}

ElementParse ParseElementLines(std::string_view line1, std::string_view line2) {
    ElementParse result;
    LineReader one(line1, 1, result.fault);
    LineReader two(line2, 2, result.fault);
    if (!one.Frame() || !two.Frame()) return result;

    int64_t satellite1 = 0, satellite2 = 0, year = 0, eccentricity = 0, revolution = 0;
    double day = 0, ignored = 0, meanAnomaly = 0, meanMotion = 0;
    if (!one.Digits(kSatellite, satellite1) || !two.Digits(kSatellite, satellite2)) return result;
    if (satellite1 != satellite2) {
        two.Fail(kSatellite.first, "the satellite number differs from line 1's");
        return result;
    }
    if (!one.Digits(kEpochYear, year) || !one.Number(kEpochDay, 1.0, 367.0, day)) return result;
    if (!two.Number(kInclination, 0.0, 180.0 + 1e-9, ignored) || !two.Number(kAscendingNode, 0.0, 360.0, ignored) ||
        !two.Digits(kEccentricity, eccentricity) || !two.Number(kPerigee, 0.0, 360.0, ignored) ||
        !two.Number(kMeanAnomaly, 0.0, 360.0, meanAnomaly) || !two.Number(kMeanMotion, 0.05, 100.0, meanMotion) ||
        !two.Digits(kRevolution, revolution))
        return result;

    // Two-digit years: 57 to 99 are the 1900s, the rest the 2000s.
    const int32_t fullYear = static_cast<int32_t>(year < 57 ? 2000 + year : 1900 + year);
    ElementSet e;
    e.epochAmDay = static_cast<double>(AmDayOfDate({fullYear, 1, 1})) + (day - 1.0);
    e.meanAnomaly = meanAnomaly;
    e.meanMotion = meanMotion;
    e.revolution = revolution;
    result.elements = e;
    return result;
}

double SampleAmDayTime(const ElementSet& e, int64_t orbit, double ma) {
    const double revolutions =
        static_cast<double>(orbit - e.orbitOffset - e.revolution) + ma / 256.0 - e.meanAnomaly / 360.0;
    return e.epochAmDay + revolutions / e.meanMotion;
}

std::string UtcText(double amDayTime) {
    constexpr int64_t kMsPerDay = 86'400'000;
    // Beyond some ten thousand years either way the text would need more than four year digits.
    if (!std::isfinite(amDayTime) || std::fabs(amDayTime) > 3.6e6) return {};
    const auto ms = static_cast<int64_t>(std::llround(amDayTime * static_cast<double>(kMsPerDay)));
    int64_t day = ms / kMsPerDay;
    int64_t ofDay = ms % kMsPerDay;
    if (ofDay < 0) {
        ofDay += kMsPerDay;
        day -= 1;
    }
    const CivilDate date = DateOfAmDay(day);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", date.year, date.month, date.day,
                  static_cast<int>(ofDay / 3'600'000), static_cast<int>(ofDay / 60'000 % 60),
                  static_cast<int>(ofDay / 1000 % 60), static_cast<int>(ofDay % 1000));
    return text;
}

}  // namespace kelvarox
