#include "settings/RegistryText.h"

#include <vector>

#include "settings/RegistryEncoding.h"

namespace kelvarox {

namespace {

// Lines of hex data stay within 80 columns, the last one included, as usual in the format.
constexpr size_t kLineWidth = 80;

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string LowerHex(uint32_t number, int minDigits) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    do {
        out.insert(out.begin(), kDigits[number % 16u]);
        number /= 16u;
    } while (number != 0);
    while (static_cast<int>(out.size()) < minDigits) out.insert(out.begin(), '0');
    return out;
}

std::vector<std::string> FormatValue(const RegistryValue& value, RegistryCharacters characters) {
    if (value.type == RegistryValue::Type::String && value.text.find_first_of("\r\n") != std::string::npos)
        return FormatValue(RegistryValue::Text(value.name, value.text, characters), characters);

    const std::string head = value.name.empty() ? std::string("@=") : Quote(value.name) + "=";
    switch (value.type) {
        case RegistryValue::Type::String:
            return {head + Quote(value.text)};
        case RegistryValue::Type::Dword:
            return {head + "dword:" + LowerHex(value.number, 8)};
        case RegistryValue::Type::Hex:
            break;
    }
    std::vector<std::string> lines;
    std::string line = head + (value.hexKind ? "hex(" + LowerHex(*value.hexKind, 1) + "):" : std::string("hex:"));
    bool lineHasBytes = false;
    for (size_t k = 0; k < value.bytes.size(); ++k) {
        std::string item = LowerHex(static_cast<unsigned char>(value.bytes[k]), 2);
        if (k + 1 < value.bytes.size()) item.push_back(',');
        if (lineHasBytes && line.size() + item.size() + 1 > kLineWidth) {
            lines.push_back(line + "\\");
            line = "  ";
        }
        line += item;
        lineHasBytes = true;
    }
    lines.push_back(line);
    return lines;
}

}  // namespace

std::string WriteRegistryText(const RegistryDocument& doc) {
    const RegistryFormat& format = doc.format;
    using LineEnd = RegistryFormat::LineEnd;
    const std::string_view newline = format.lineEnd == LineEnd::CrLf ? "\r\n"
                                     : format.lineEnd == LineEnd::Cr ? "\r"
                                                                     : "\n";
    std::string out;
    auto put = [&](std::string_view line) {
        out += line;
        out += newline;
    };
    for (const auto& line : format.leadingLines) put(line);
    put(format.headerLine);
    for (const auto& line : doc.preamble) put(line);
    for (const auto& section : doc.sections) {
        put(section.headerLine.empty() ? "[" + section.path + "]" : section.headerLine);
        for (const auto& entry : section.entries) {
            if (!entry.lines.empty()) {
                for (const auto& line : entry.lines) put(line);
            } else if (entry.value) {
                for (const auto& line : FormatValue(*entry.value, format.characters)) put(line);
            }
        }
    }
    switch (format.encoding) {
        case RegistryFormat::Encoding::Bytes:
            return out;
        case RegistryFormat::Encoding::Utf8Bom:
            return std::string(kUtf8Mark) + out;
        case RegistryFormat::Encoding::Utf16LeBom:
            break;
    }
    return std::string(kUtf16LeMark) + Utf8ToUtf16Le(out);
}

}  // namespace kelvarox
