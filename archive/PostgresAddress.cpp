#include "archive/PostgresAddress.h"

#include <algorithm>
#include <optional>

#include "core/Text.h"

namespace kelvarox::archive {

namespace {

constexpr std::string_view kSchemes[] = {"postgresql://", "postgres://"};
// Parts of a password between the characters that libpq may split an address at; shorter ones
// are left alone, since hiding every "a" of a message would hide nothing worth hiding.
constexpr std::string_view kSplitters = "/?#@:&=";
constexpr size_t kShortestPiece = 3;

size_t SchemeLength(std::string_view location) {
    for (const std::string_view scheme : kSchemes)
        if (location.size() >= scheme.size() && AsciiLowerText(location.substr(0, scheme.size())) == scheme)
            return scheme.size();
    return 0;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The text with its %XX escapes decoded, as libpq decodes it; nothing when an escape is broken.
std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

void AddSecret(std::vector<std::string>& secrets, const std::string& text) {
    if (text.empty()) return;
    secrets.push_back(text);
    if (const auto decoded = PercentDecoded(text)) secrets.push_back(*decoded);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find_first_of(kSplitters, start);
        if (end == std::string::npos) end = text.size();
        if (end - start >= kShortestPiece && end - start < text.size())
            AddSecret(secrets, text.substr(start, end - start));
        start = end + 1;
    }
}

// A parameter of the query whose value is a password, or whose name cannot be read.
bool IsSecretParameter(std::string_view parameter) {
    const auto key = PercentDecoded(parameter.substr(0, parameter.find('=')));
    return !key || AsciiLowerText(*key).find("password") != std::string::npos;
}

}  // namespace

bool IsPostgresLocation(std::string_view location) { return SchemeLength(location) > 0; }

PostgresAddress ParsePostgresAddress(const std::string& address) {
    PostgresAddress a;
    const size_t start = SchemeLength(address);
    a.forLibpq = AsciiLowerText(address.substr(0, start)) + address.substr(start);

    // The credentials end at an "@"; a password may hold "?", "/", ":" or even "@" unescaped,
    // so the last "@" before the query counts, and everything after the first ":" is hidden.
    std::string rest = address;
    size_t hostStart = start;
    if (const size_t firstAt = address.find('@', start); firstAt != std::string::npos) {
        const size_t at = address.rfind('@', address.find('?', firstAt));
        const size_t colon = address.find(':', start);
        if (colon < at) {
            AddSecret(a.secrets, address.substr(colon + 1, at - colon - 1));
            rest = address.substr(0, colon) + address.substr(at);
            hostStart = colon;
        } else {
            hostStart = at;
        }
    }

    const size_t query = rest.find('?', hostStart);
    a.shown = rest.substr(0, query);
    if (query != std::string::npos) {
        std::string kept;
        for (size_t p = query + 1; p <= rest.size();) {
            size_t end = rest.find('&', p);
            if (end == std::string::npos) end = rest.size();
            const std::string parameter = rest.substr(p, end - p);
            if (IsSecretParameter(parameter)) {
                AddSecret(a.secrets, parameter);
                if (const size_t equals = parameter.find('='); equals != std::string::npos)
                    AddSecret(a.secrets, parameter.substr(equals + 1));
            } else if (!parameter.empty()) {
                kept += (kept.empty() ? "" : "&") + parameter;
            }
            p = end + 1;
        }
        if (!kept.empty()) a.shown += "?" + kept;
    }

    std::sort(a.secrets.begin(), a.secrets.end(),
              [](const auto& x, const auto& y) { return x.size() != y.size() ? x.size() > y.size() : x < y; });
    a.secrets.erase(std::unique(a.secrets.begin(), a.secrets.end()), a.secrets.end());
    return a;
}

std::string WithoutSecrets(std::string text, const std::string& address, const PostgresAddress& parsed) {
    auto replace = [&text](const std::string& what, const std::string& with) {
        if (what.empty()) return;
        for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + with.size()))
            text.replace(p, what.size(), with);
    };
    // The whole address first, so that it reads as the messages name it; a mark that no message
    // holds keeps its place while the secrets are taken out.
    const std::string mark = "\x01";
    replace(address, mark);
    replace(parsed.forLibpq, mark);
    for (const auto& secret : parsed.secrets) replace(secret, "***");
    replace(mark, parsed.shown);
    return text;
}

}  // namespace kelvarox::archive
