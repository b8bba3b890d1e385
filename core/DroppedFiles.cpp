#include "core/DroppedFiles.h"

#include <optional>

#include "core/Text.h"

namespace kelvarox {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const char lower = AsciiLower(c);
    if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return -1;
}

// `text` with its %XX escapes replaced by their bytes; nothing when an escape is cut or no
// hexadecimal number, or when it gives a zero byte, which no path can hold.
std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

// The local path of one URI: file:///path or file://localhost/path.
std::optional<std::string> LocalPathOfUri(std::string_view uri) {
    constexpr std::string_view kScheme = "file://";
    if (uri.size() < kScheme.size() || !EndsWithIgnoringCase(uri.substr(0, kScheme.size()), kScheme))
        return std::nullopt;
    uri.remove_prefix(kScheme.size());
    const size_t slash = uri.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view host = uri.substr(0, slash);
    if (!host.empty() && !(host.size() == 9 && EndsWithIgnoringCase(host, "localhost"))) return std::nullopt;
    const std::string_view path = uri.substr(slash);
    return PercentDecoded(path.substr(0, path.find_first_of("?#")));  // without query or fragment
}

}  // namespace

std::vector<std::string> LocalPathsOfUriList(std::string_view uriList) {
    std::vector<std::string> paths;
    while (!uriList.empty()) {
        const size_t end = uriList.find('\n');
        std::string_view line = uriList.substr(0, end);
        uriList.remove_prefix(end == std::string_view::npos ? uriList.size() : end + 1);
        line = TrimBlanksAndControls(line);
        if (line.empty() || line.front() == '#') continue;
        if (auto path = LocalPathOfUri(line)) paths.push_back(std::move(*path));
    }
    return paths;
}

}  // namespace kelvarox
