#include "settings/RegistryText.h"

#include <algorithm>
#include <vector>

#include "settings/RegistryEncoding.h"

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
    size_t run = pos + 1;  // the start of the characters not yet taken
    for (size_t i = run; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            text.append(s.substr(run, i - run));
            pos = i + 1;
            return text;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            text.append(s.substr(run, i - run));
            run = ++i;
        }
    }
    return std::nullopt;
}

using Lines = std::vector<std::string_view>;

// The line end of a text: that of its first line.
RegistryFormat::LineEnd FirstLineEnd(std::string_view text) {
    size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos || text[at] == '\n') return RegistryFormat::LineEnd::Lf;
    while (at < text.size() && text[at] == '\r') ++at;
    return at < text.size() && text[at] == '\n' ? RegistryFormat::LineEnd::CrLf : RegistryFormat::LineEnd::Cr;
}

// Lines without their ends. In a text of LF or CR LF line ends, carriage returns before a line
// feed belong to the line end and any other stays in its line; in a text of CR line ends, CR,
// LF and CR LF all end a line. Each search for a line end goes on from the last one found.
Lines SplitLines(std::string_view text, RegistryFormat::LineEnd lineEnd) {
    constexpr size_t kNpos = std::string_view::npos;
    const bool crOnly = lineEnd == RegistryFormat::LineEnd::Cr;
    Lines lines;
    size_t nextLf = text.find('\n');
    size_t nextCr = crOnly ? text.find('\r') : kNpos;
    for (size_t start = 0; start < text.size();) {
        if (nextLf < start) nextLf = text.find('\n', start);
        if (nextCr < start) nextCr = text.find('\r', start);
        const size_t at = std::min(nextLf, nextCr);
        std::string_view line = text.substr(start, at == kNpos ? kNpos : at - start);
        size_t next = text.size();
        if (at != kNpos) {
            next = at + 1;
            if (text[at] == '\r' && next < text.size() && text[next] == '\n') ++next;
        }
        if (!crOnly)
            while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = next;
    }
    return lines;
}

// The data of a hex value, joining the continuation lines that the format uses for long
// data (a line ending in "\" followed by an indented line of hex digits). Each line is
// copied once, so long values cost no more than short ones per byte.
std::string JoinContinuations(std::string_view first, const Lines& lines, size_t index, size_t& lineCount) {
    std::string data(first);
    while (index + lineCount < lines.size()) {
        const size_t last = data.find_last_not_of(" \t");
        if (last == std::string::npos || data[last] != '\\') break;
        const std::string_view next = TrimLeft(lines[index + lineCount]);
        if (next.empty() || HexDigitValue(next.front()) < 0) break;
        data.resize(last);
        data.append(next);
        ++lineCount;
    }
    return data;
}

// The value that starts on lines[index]. `lineCount` tells how many lines it spans, whether or
// not it is well formed.
std::optional<RegistryValue> ParseValue(const Lines& lines, size_t index, size_t& lineCount) {
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
        const std::string data = JoinContinuations(rest.substr(1), lines, index, lineCount);
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

bool IsBlank(std::string_view line) { return TrimLeft(line).empty(); }

std::optional<RegistryDocument> Fail(RegistryParseError* error, size_t line, std::string reason) {
    if (error) *error = RegistryParseError{line, std::move(reason)};
    return std::nullopt;
}

// The header's version: false for a line that is no header.
bool ReadHeader(std::string_view line, RegistryFormat& format) {
    const std::string_view header = Trim(line);
    if (SameRegistryName(header, kRegistryHeader)) {
        format.characters = RegistryCharacters::Bytes;
    } else if (SameRegistryName(header, kRegistryHeaderVersion5)) {
        format.characters = RegistryCharacters::Unicode;
    } else {
        return false;
    }
    format.headerLine = std::string(line);
    return true;
}

}  // namespace

std::optional<RegistryDocument> ParseRegistryText(std::string_view bytes, RegistryParseError* error) {
    RegistryDocument doc;
    RegistryFormat& format = doc.format;
    std::string decoded;
    std::string_view text = bytes;
    if (text.starts_with(kUtf8Mark)) {
        format.encoding = RegistryFormat::Encoding::Utf8Bom;
        text.remove_prefix(kUtf8Mark.size());
    } else if (text.starts_with(kUtf16LeMark)) {
        format.encoding = RegistryFormat::Encoding::Utf16LeBom;
        format.characters = RegistryCharacters::Unicode;
        format.headerLine = std::string(kRegistryHeaderVersion5);
        text.remove_prefix(kUtf16LeMark.size());
        auto utf8 = Utf16LeToUtf8(text);
        if (!utf8) {
            // The line in which the text ends.
            const std::string whole = *Utf16LeToUtf8(text.substr(0, text.size() - 1));
            const size_t ended = !whole.empty() && (whole.back() == '\n' || whole.back() == '\r');
            const size_t line = SplitLines(whole, FirstLineEnd(whole)).size() + ended;
            return Fail(error, std::max<size_t>(line, 1), "ends in half a UTF-16 character");
        }
        decoded = std::move(*utf8);
        text = decoded;
    }
    format.lineEnd = FirstLineEnd(text);
    const Lines lines = SplitLines(text, format.lineEnd);

    size_t first = 0;
    while (first < lines.size() && IsBlank(lines[first])) ++first;
    if (first == lines.size()) return doc;
    if (!ReadHeader(lines[first], format))
        return Fail(
            error, first + 1,
            "is not \"" + std::string(kRegistryHeader) + "\" or \"" + std::string(kRegistryHeaderVersion5) + "\"");
    // UTF-16 holds nothing but Unicode, whatever the header says.
    if (format.encoding == RegistryFormat::Encoding::Utf16LeBom) format.characters = RegistryCharacters::Unicode;
    format.leadingLines.assign(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(first));

    for (size_t i = first + 1; i < lines.size();) {
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
        if (doc.sections.empty())
            doc.preamble.emplace_back(line);
        else
            doc.sections.back().entries.push_back(RegistryEntry{std::nullopt, {std::string(line)}});
        ++i;
    }
    return doc;
}

}  // namespace kelvarox
