#include "settings/RegistryText.h"

#include <vector>

namespace kelvarox {

namespace {

std::string_view TrimLeft(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view() : s.substr(first);
}

std::string_view TrimRight(std::string_view s) {
    const size_t last = s.find_last_not_of(" \t");
    return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

std::string_view Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameRegistryName(s.substr(0, prefix.size()), prefix);
}

// One to eight hexadecimal digits and nothing else.
std::optional<uint32_t> HexNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    uint32_t value = 0;
    for (char c : digits) {
        const int d = HexDigitValue(c);
        if (d < 0) return std::nullopt;
        value = value * 16u + static_cast<uint32_t>(d);
    }
    return value;
}

// The bytes of a hex value: two-digit (or one-digit) numbers separated by commas.
std::optional<std::string> HexBytes(std::string_view data) {
    std::string bytes;
    if (Trim(data).empty()) return bytes;
    while (true) {
        const size_t comma = data.find(',');
        const std::string_view item = Trim(data.substr(0, comma));
        if (item.size() > 2) return std::nullopt;
        const auto value = HexNumber(item);
        if (!value) return std::nullopt;
        bytes.push_back(static_cast<char>(*value));
        if (comma == std::string_view::npos) return bytes;
        data.remove_prefix(comma + 1);
    }
}

// A quoted text starting at s[pos], with \\ and \" as escapes; a backslash before any other
// character stands for itself. On success `pos` is just past the closing quote.
std::optional<std::string> Quoted(std::string_view s, size_t& pos) {
    if (pos >= s.size() || s[pos] != '"') return std::nullopt;
    std::string text;
    for (size_t i = pos + 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            pos = i + 1;
            return text;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
        text.push_back(s[i]);
    }
    return std::nullopt;
}

struct SplitText {
    std::vector<std::string> lines;
    bool crlf = false;
};

// Lines without their ends; carriage returns before a line feed belong to the line end.
SplitText SplitLines(std::string_view text) {
    SplitText split;
    bool first = true;
    while (!text.empty()) {
        const size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        size_t end = line.size();
        while (end > 0 && line[end - 1] == '\r') --end;
        if (first && lf != std::string_view::npos) split.crlf = end < line.size();
        first = false;
        split.lines.emplace_back(line.substr(0, end));
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    }
    return split;
}

// The data of a hex value, joining the continuation lines that the format uses for long
// data (a line ending in "\" followed by an indented line of hex digits).
std::string JoinContinuations(std::string data, const std::vector<std::string>& lines, size_t index, size_t& lineCount) {
    while (true) {
        const std::string_view trimmed = TrimRight(data);
        if (trimmed.empty() || trimmed.back() != '\\' || index + lineCount >= lines.size()) break;
        const std::string_view next = TrimLeft(lines[index + lineCount]);
        if (next.empty() || HexDigitValue(next.front()) < 0) break;
        data = std::string(trimmed.substr(0, trimmed.size() - 1)) + std::string(next);
        ++lineCount;
    }
    return data;
}

// The value that starts on lines[index]. `lineCount` tells how many lines it spans, whether or
// not it is well formed.
std::optional<RegistryValue> ParseValue(const std::vector<std::string>& lines, size_t index, size_t& lineCount) {
    lineCount = 1;
    std::string_view s = TrimLeft(lines[index]);
    RegistryValue value;
    size_t pos = 0;
    if (!s.empty() && s.front() == '@') {
        pos = 1;
    } else {
        auto name = Quoted(s, pos);
        if (!name) return std::nullopt;
        value.name = std::move(*name);
    }
    s = TrimLeft(s.substr(pos));
    if (s.empty() || s.front() != '=') return std::nullopt;
    s = TrimLeft(s.substr(1));

    if (!s.empty() && s.front() == '"') {
        size_t end = 0;
        auto text = Quoted(s, end);
        if (!text || !Trim(s.substr(end)).empty()) return std::nullopt;
        value.text = std::move(*text);
        return value;
    }
    if (StartsWithNoCase(s, "dword:")) {
        const auto number = HexNumber(Trim(s.substr(6)));
        if (!number) return std::nullopt;
        value.type = RegistryValue::Type::Dword;
        value.number = *number;
        return value;
    }
    if (StartsWithNoCase(s, "hex")) {
        std::string_view rest = s.substr(3);
        if (!rest.empty() && rest.front() == '(') {
            const size_t close = rest.find(')');
            if (close == std::string_view::npos) return std::nullopt;
            value.hexKind = HexNumber(rest.substr(1, close - 1));
            if (!value.hexKind) return std::nullopt;
            rest.remove_prefix(close + 1);
        }
        if (rest.empty() || rest.front() != ':') return std::nullopt;
        const std::string data = JoinContinuations(std::string(rest.substr(1)), lines, index, lineCount);
        auto bytes = HexBytes(data);
        if (!bytes) return std::nullopt;
        value.type = RegistryValue::Type::Hex;
        value.bytes = std::move(*bytes);
        return value;
    }
    return std::nullopt;
}

bool IsSectionLine(std::string_view line) {
    const std::string_view t = TrimRight(TrimLeft(line));
    return t.size() >= 2 && t.front() == '[' && t.back() == ']';
}

}  // namespace

std::optional<RegistryDocument> ParseRegistryText(std::string_view text) {
    const SplitText split = SplitLines(text);
    const auto& lines = split.lines;
    RegistryDocument doc;
    doc.crlf = split.crlf;

    bool allBlank = true;
    for (const auto& line : lines) allBlank = allBlank && TrimLeft(line).empty();
    if (allBlank) return doc;
    if (TrimRight(lines.front()) != kRegistryHeader) return std::nullopt;

    for (size_t i = 1; i < lines.size();) {
        const std::string_view line = lines[i];
        const std::string_view t = TrimLeft(line);
        if (IsSectionLine(line)) {
            const std::string_view inner = TrimRight(t);
            RegistrySection section;
            section.path = std::string(inner.substr(1, inner.size() - 2));
            section.headerLine = std::string(line);
            doc.sections.push_back(std::move(section));
            ++i;
            continue;
        }
        if (!doc.sections.empty() && !t.empty() && (t.front() == '"' || t.front() == '@')) {
            size_t count = 1;
            RegistryEntry entry;
            entry.value = ParseValue(lines, i, count);
            entry.lines.assign(lines.begin() + static_cast<std::ptrdiff_t>(i),
                               lines.begin() + static_cast<std::ptrdiff_t>(i + count));
            doc.sections.back().entries.push_back(std::move(entry));
            i += count;
            continue;
        }
        if (doc.sections.empty()) doc.preamble.emplace_back(line);
        else doc.sections.back().entries.push_back(RegistryEntry{std::nullopt, {std::string(line)}});
        ++i;
    }
    return doc;
}

}  // namespace kelvarox
