#include "satellite/SatelliteFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <sstream>

#include <toml++/toml.h>

#include "core/CivilDate.h"
#include "core/CsvText.h"
#include "core/SampleSeries.h"

namespace kelvarox {

namespace {

// The largest channel number a block header can name: four hexadecimal digits.
constexpr int32_t kLargestChannel = 0xFFFF;
// A satellite file is a page of text; anything far larger is no satellite file.
constexpr std::streamsize kLargestFile = 16 << 20;

const char* TypeName(toml::node_type t) {
    switch (t) {
        case toml::node_type::string:
            return "a text";
        case toml::node_type::integer:
            return "a whole number";
        case toml::node_type::floating_point:
            return "a number";
        case toml::node_type::boolean:
            return "true or false";
        case toml::node_type::date:
            return "a date";
        case toml::node_type::time:
            return "a time";
        case toml::node_type::date_time:
            return "a date and time";
        case toml::node_type::table:
            return "a table";
        case toml::node_type::array:
            return "an array";
        default:
            return "nothing";
    }
}

class Checker {
public:
    explicit Checker(std::string file) : file_(std::move(file)) {}

    SatelliteFileResult Check(const toml::table& root) {
        std::string satellite;
        std::vector<ChannelEntry> entries;
        std::vector<ElementSet> elements;
        bool sawFormat = false;
        for (auto&& [key, node] : root) {
            const std::string_view k = key.str();
            if (k == "format") {
                sawFormat = true;
                if (const auto v = Integer(node, "format"); v && *v != kSatelliteFileFormat)
                    Error(node, "format " + std::to_string(*v) + " is not known: this program reads format 1");
            } else if (k == "satellite") {
                if (const auto v = Text(node, "satellite")) satellite = *v;
            } else if (k == "channel") {
                ForEachTable(node, "channel", [&](const toml::table& t) {
                    if (auto e = Channel(t)) entries.push_back(*e);
                });
            } else if (k == "elements") {
                ForEachTable(node, "elements", [&](const toml::table& t) {
                    if (auto e = Elements(t)) elements.push_back(*e);
                });
            } else {
                UnknownKey(key);
            }
        }
        if (!sawFormat) Error(root, "\"format = 1\" is missing");
        CheckDuplicates(entries);

        SatelliteFileResult result;
        result.errors = std::move(errors_);
        result.warnings = std::move(warnings_);
        if (result.errors.empty()) {
            result.satellite.emplace(satellite, std::move(entries), std::move(elements));
        }
        return result;
    }

private:
    SatelliteFileMessage At(const toml::source_region& where, std::string text) const {
        return {file_, static_cast<int>(where.begin.line), static_cast<int>(where.begin.column), std::move(text)};
    }
    void Error(const toml::node& node, std::string text) { errors_.push_back(At(node.source(), std::move(text))); }
    void Warning(const toml::node& node, std::string text) { warnings_.push_back(At(node.source(), std::move(text))); }
    void UnknownKey(const toml::key& key) {
        errors_.push_back(At(key.source(), "unknown key \"" + std::string(key.str()) + "\""));
    }
    void WrongType(const toml::node& node, std::string_view name, const char* wanted) {
        Error(node, "\"" + std::string(name) + "\" must be " + wanted + ", not " + TypeName(node.type()));
    }

    std::optional<std::string> Text(const toml::node& node, std::string_view name) {
        if (const auto* v = node.as_string()) return v->get();
        WrongType(node, name, "a text");
        return std::nullopt;
    }
    std::optional<int64_t> Integer(const toml::node& node, std::string_view name) {
        if (const auto* v = node.as_integer()) return v->get();
        WrongType(node, name, "a whole number");
        return std::nullopt;
    }
    // A number, whole or not, that must be finite.
    std::optional<double> Number(const toml::node& node, std::string_view name) {
        double value = 0;
        if (const auto* i = node.as_integer())
            value = static_cast<double>(i->get());
        else if (const auto* f = node.as_floating_point())
            value = f->get();
        else {
            WrongType(node, name, "a number");
            return std::nullopt;
        }
        if (!std::isfinite(value)) {
            Error(node, "\"" + std::string(name) + "\" must be a finite number");
            return std::nullopt;
        }
        return value;
    }

    template <typename Each>
    void ForEachTable(const toml::node& node, std::string_view name, Each each) {
        const auto* array = node.as_array();
        if (!array) {
            Error(node, "\"" + std::string(name) + "\" must be written as [[" + std::string(name) + "]] tables, not " +
                            TypeName(node.type()));
            return;
        }
        for (const toml::node& item : *array) {
            if (const auto* t = item.as_table())
                each(*t);
            else
                WrongType(item, name, "a table");
        }
    }

    std::optional<int32_t> Hex(const toml::node& node) {
        const auto text = Text(node, "hex");
        if (!text) return std::nullopt;
        std::string_view digits = *text;
        if (digits.starts_with('#'))
            digits.remove_prefix(1);
        else if (digits.starts_with("0x") || digits.starts_with("0X"))
            digits.remove_prefix(2);
        else
            digits = {};
        bool hex = !digits.empty();
        for (char c : digits) hex = hex && std::isxdigit(static_cast<unsigned char>(c));
        if (!hex) {
            Error(node, "the channel \"" + *text + "\" is not in the form #HHH or 0xHHH");
            return std::nullopt;
        }
        const unsigned long value = digits.size() > 8 ? ULONG_MAX : std::stoul(std::string(digits), nullptr, 16);
        if (value > static_cast<unsigned long>(kLargestChannel)) {
            Error(node, "no block header can name the channel \"" + *text + "\": its four digits end at #FFFF");
            return std::nullopt;
        }
        return static_cast<int32_t>(value);
    }

    std::optional<Coefficients> Equation(const toml::node& node) {
        const auto* t = node.as_table();
        if (!t) {
            WrongType(node, "equation", "a table");
            return std::nullopt;
        }
        Coefficients k;
        bool ok = true;
        for (auto&& [key, term] : *t) {
            const std::string_view name = key.str();
            float* slot = name == "x3"   ? &k.a
                          : name == "x2" ? &k.b
                          : name == "x1" ? &k.c
                          : name == "x0" ? &k.d
                                         : nullptr;
            if (!slot) {
                UnknownKey(key);
                ok = false;
                continue;
            }
            const auto v = Number(term, name);
            if (v && std::fabs(*v) > static_cast<double>(std::numeric_limits<float>::max())) {
                Error(term, "\"" + std::string(name) + "\" lies beyond the range of the equation's 32-bit numbers");
                ok = false;
            } else if (v) {
                *slot = static_cast<float>(*v);
            } else {
                ok = false;
            }
        }
        return ok ? std::optional(k) : std::nullopt;
    }

    std::optional<ChannelLimits> Limits(const toml::node& node) {
        const auto* t = node.as_table();
        if (!t) {
            WrongType(node, "limits", "a table");
            return std::nullopt;
        }
        ChannelLimits limits;
        bool ok = true;
        for (auto&& [key, value] : *t) {
            const std::string_view name = key.str();
            std::optional<double>* slot = name == "red_low"       ? &limits.redLow
                                          : name == "yellow_low"  ? &limits.yellowLow
                                          : name == "yellow_high" ? &limits.yellowHigh
                                          : name == "red_high"    ? &limits.redHigh
                                                                  : nullptr;
            if (name == "persistence") {
                const auto p = Integer(value, name);
                if (p && *p < 1)
                    Error(value, "\"persistence\" must be 1 or more");
                else if (p && *p > INT32_MAX)
                    Error(value, "\"persistence\" is too large");
                else if (p)
                    limits.persistence = static_cast<int32_t>(*p);
                ok = ok && p && *p >= 1 && *p <= INT32_MAX;
            } else if (slot) {
                *slot = Number(value, name);
                ok = ok && slot->has_value();
            } else {
                UnknownKey(key);
                ok = false;
            }
        }
        if (!ok) return std::nullopt;
        // red_low <= yellow_low < yellow_high <= red_high, among the limits given.
        const std::optional<double> order[] = {limits.redLow, limits.yellowLow, limits.yellowHigh, limits.redHigh};
        for (int i = 0; i < 4; ++i)
            for (int j = i + 1; j < 4; ++j) {
                if (!order[i] || !order[j]) continue;
                const bool strict = i <= 1 && j >= 2;
                if (strict ? !(*order[i] < *order[j]) : !(*order[i] <= *order[j])) {
                    Error(node, "the limits must satisfy red_low <= yellow_low < yellow_high <= red_high");
                    return std::nullopt;
                }
            }
        return limits;
    }

    // A limit that no raw byte's value reaches on its side is allowed but most likely a mistake.
    void WarnUnreachable(const toml::node& node, int32_t channel, const ChannelLimits& limits, const Coefficients& k) {
        float lowest = INFINITY, highest = -INFINITY;
        for (int raw = 0; raw <= 255; ++raw) {
            const float v = TranslateSample(k, static_cast<uint8_t>(raw));
            if (std::isnan(v)) continue;
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
        const auto check = [&](const std::optional<double>& limit, const char* name, bool low) {
            if (!limit) return;
            const bool reached = low ? static_cast<double>(lowest) <= *limit : static_cast<double>(highest) >= *limit;
            if (reached) return;
            std::string text = "the limit ";
            text += name;
            text += " of channel " + ChannelCatalogue::ChannelNumberText(channel) +
                    " is never reached: its equation gives values from ";
            AppendShortestFloat(text, lowest);
            text += " to ";
            AppendShortestFloat(text, highest);
            text += " for the raw values 0 to 255";
            Warning(node, text);
        };
        check(limits.redLow, "red_low", true);
        check(limits.yellowLow, "yellow_low", true);
        check(limits.yellowHigh, "yellow_high", false);
        check(limits.redHigh, "red_high", false);
    }

    std::optional<ChannelEntry> Channel(const toml::table& t) {
        ChannelEntry e;
        bool ok = true, sawHex = false;
        const toml::node* limitsNode = nullptr;
        for (auto&& [key, node] : t) {
            const std::string_view k = key.str();
            if (k == "hex") {
                sawHex = true;
                const auto c = Hex(node);
                ok = ok && c.has_value();
                e.channel = c.value_or(0);
            } else if (k == "name") {
                e.name = Text(node, k);
                ok = ok && e.name.has_value();
            } else if (k == "unit") {
                e.unit = Text(node, k);
                ok = ok && e.unit.has_value();
            } else if (k == "equation") {
                e.equation = Equation(node);
                ok = ok && e.equation.has_value();
            } else if (k == "from") {
                if (const auto* d = node.as_date()) {
                    const toml::date v = d->get();
                    e.fromAmDay = AmDayOfDate({v.year, v.month, v.day});
                } else {
                    WrongType(node, k, "a date (1996-03-01)");
                    ok = false;
                }
            } else if (k == "limits") {
                limitsNode = &node;
                e.limits = Limits(node);
                ok = ok && e.limits.has_value();
            } else {
                UnknownKey(key);
                ok = false;
            }
        }
        if (!sawHex) {
            Error(t, "a channel needs \"hex\", the channel as the Hex# box shows it (\"#140\")");
            return std::nullopt;
        }
        if (!ok) return std::nullopt;
        places_.push_back({e.channel, e.fromAmDay, t.source()});
        if (e.limits)
            WarnUnreachable(*limitsNode, e.channel, *e.limits,
                            e.equation.value_or(BuiltInDefinition(e.channel).equation));
        return e;
    }

    std::optional<ElementSet> Elements(const toml::table& t) {
        const toml::node* lines[2] = {nullptr, nullptr};
        std::optional<int64_t> offset = 0;
        for (auto&& [key, node] : t) {
            const std::string_view k = key.str();
            if (k == "line1" || k == "line2") {
                if (node.is_string())
                    lines[k == "line2" ? 1 : 0] = &node;
                else
                    WrongType(node, k, "a text");
            } else if (k == "orbit_offset") {
                offset = Integer(node, k);
            } else {
                UnknownKey(key);
            }
        }
        if (!lines[0] || !lines[1]) {
            if (lines[0] || lines[1] || t.empty()) Error(t, "an element set needs \"line1\" and \"line2\"");
            return std::nullopt;
        }
        const ElementParse parse = ParseElementLines(lines[0]->as_string()->get(), lines[1]->as_string()->get());
        if (!parse.elements) {
            // The column within the line, counted after the opening quote of a one-line text.
            const toml::node& line = *lines[parse.fault.line - 1];
            SatelliteFileMessage m = At(line.source(), parse.fault.message);
            if (line.source().begin.line == line.source().end.line) m.column += parse.fault.column;
            errors_.push_back(std::move(m));
            return std::nullopt;
        }
        if (!offset) return std::nullopt;
        ElementSet e = *parse.elements;
        e.orbitOffset = *offset;
        return e;
    }

    void CheckDuplicates(const std::vector<ChannelEntry>&) {
        std::map<std::pair<int32_t, int64_t>, toml::source_region> seen;
        for (const Place& p : places_) {
            const auto key = std::make_pair(p.channel, p.from.value_or(INT64_MIN));
            const auto [it, fresh] = seen.emplace(key, p.where);
            if (fresh) continue;
            std::string text = "channel " + ChannelCatalogue::ChannelNumberText(p.channel) + " has two entries ";
            text += p.from ? "from the same date" : "without a \"from\" date";
            text += " (the other at line " + std::to_string(it->second.begin.line) + ")";
            errors_.push_back(At(p.where, text));
        }
    }

    struct Place {
        int32_t channel;
        std::optional<int64_t> from;
        toml::source_region where;
    };

    std::string file_;
    std::vector<Place> places_;
    std::vector<SatelliteFileMessage> errors_;
    std::vector<SatelliteFileMessage> warnings_;
};

// A TOML basic string.
std::string Quoted(std::string_view text) {
    std::string s = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            s += '\\';
            s += c;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            s += escape;
        } else {
            s += c;
        }
    }
    return s + '"';
}

// A coefficient as a TOML float that reads back as the same 32-bit float.
std::string FloatLiteral(float value) {
    std::string s;
    AppendShortestFloat(s, value);
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

}  // namespace

std::string BuiltInSatelliteFile() {
    std::string s =
        "# The built-in channel catalogue as a satellite file. Value = x3*X^3 + x2*X^2 + x1*X + x0 for\n"
        "# the raw sample X. Name the satellite (satellite = \"...\"), change what differs and add\n"
        "# limits, \"from\" dates and orbital elements as needed.\n"
        "format = 1\n";
    for (int32_t channel = ChannelCatalogue::kFirstChannel; channel <= ChannelCatalogue::kLastChannel; ++channel) {
        const ChannelDefinition d = BuiltInDefinition(channel);
        s += "\n[[channel]]\nhex = " + Quoted(ChannelCatalogue::ChannelNumberText(channel)) +
             "\nname = " + Quoted(d.name) + "\nunit = " + Quoted(d.unit) +
             "\nequation = { x3 = " + FloatLiteral(d.equation.a) + ", x2 = " + FloatLiteral(d.equation.b) +
             ", x1 = " + FloatLiteral(d.equation.c) + ", x0 = " + FloatLiteral(d.equation.d) + " }\n";
    }
    return s;
}

std::string SatelliteSummary(const SatelliteDefinition& satellite) {
    std::set<int32_t> channels;
    size_t withLimits = 0;
    for (const ChannelEntry& entry : satellite.Entries()) {
        channels.insert(entry.channel);
        if (entry.limits) ++withLimits;
    }
    auto counted = [](size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    return (satellite.Name().empty() ? std::string() : "satellite " + satellite.Name() + ": ") +
           counted(channels.size(), "channel", "channels") + ", " +
           counted(withLimits, "entry with limits", "entries with limits") + ", " +
           counted(satellite.Elements().size(), "element set", "element sets");
}

std::string SatelliteFileMessage::ToString(bool warning) const {
    std::string s = file;
    if (line > 0) s += ":" + std::to_string(line) + ":" + std::to_string(column);
    s += warning ? ": warning: " : ": ";
    s += text;
    return s;
}

SatelliteFileResult ParseSatelliteText(std::string_view text, const std::string& fileName) {
    try {
        const toml::table root = toml::parse(text, fileName);
        return Checker(fileName).Check(root);
    } catch (const toml::parse_error& e) {
        SatelliteFileResult result;
        result.errors.push_back({fileName, static_cast<int>(e.source().begin.line),
                                 static_cast<int>(e.source().begin.column), std::string(e.description())});
        return result;
    }
}

SatelliteFileResult ReadSatelliteFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (in) {
        text.resize(static_cast<size_t>(kLargestFile) + 1);
        in.read(text.data(), kLargestFile + 1);
        text.resize(static_cast<size_t>(in.gcount()));
    }
    SatelliteFileResult result;
    if (!in && !in.eof()) {
        result.errors.push_back({path, 0, 0, std::string("cannot be read: ") + std::strerror(errno)});
        return result;
    }
    if (text.size() > static_cast<size_t>(kLargestFile)) {
        result.errors.push_back({path, 0, 0, "is too large for a satellite file"});
        return result;
    }
    return ParseSatelliteText(text, path);
}

}  // namespace kelvarox
