#include "checkin/checkin_replies.h"

#include <cstdint>
#include <cstdio>

#include "checkin/serving_os.h"
#include "services/encoding.h"

namespace ld::checkin {

namespace {
constexpr size_t kPhoneIdLength = 32;

bool IsPhoneId(std::string_view text) {
    if (text.size() != kPhoneIdLength) return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

const char* StatusWord(Outcome::Status status) {
    switch (status) {
        case Outcome::Status::Joined:
            return "joined";
        case Outcome::Status::Replaced:
            return "replaced";
        case Outcome::Status::Exists:  // a name list's answer; to a phone it is a refusal
        case Outcome::Status::Refused:
            break;
    }
    return "refused";
}
}  // namespace

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7f || c == '<' || c == '>' || c == '&') {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
    return out;
}

std::string Base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        uint32_t v = static_cast<unsigned char>(bytes[i]) << 16 |
                     static_cast<unsigned char>(bytes[i + 1]) << 8 |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += kDigits[(v >> 6) & 63];
        out += kDigits[v & 63];
    }
    if (size_t rest = bytes.size() - i; rest > 0) {
        uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += rest == 2 ? kDigits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string OutcomeJson(const Outcome& outcome) {
    const bool accepted =
        outcome.status == Outcome::Status::Joined || outcome.status == Outcome::Status::Replaced;
    std::string json = "{\"status\":\"";
    json += StatusWord(outcome.status);
    json += "\",\"message\":" + JsonString(outcome.message);
    json += ",\"name\":" + JsonString(accepted ? GbkToUtf8(outcome.participant) : "");
    json += ",\"photo\":\"" + (accepted ? Base64(outcome.photo) : std::string()) + "\"";
    json += ",\"nameCard\":";
    json += accepted && outcome.nameCard ? "true" : "false";
    json += "}";
    return json;
}

std::string RefusalJson(std::string_view message) {
    return "{\"status\":\"refused\",\"message\":" + JsonString(message) + "}";
}

std::string PhoneIdFromCookies(std::string_view header) {
    while (!header.empty()) {
        size_t end = header.find(';');
        std::string_view pair = Trim(header.substr(0, end));
        header = end == std::string_view::npos ? std::string_view() : header.substr(end + 1);
        size_t equals = pair.find('=');
        if (equals == std::string_view::npos || Trim(pair.substr(0, equals)) != kPhoneCookie) {
            continue;
        }
        std::string_view value = Trim(pair.substr(equals + 1));
        if (IsPhoneId(value)) return std::string(value);
    }
    return {};
}

std::string NewPhoneId() {
    unsigned char bits[kPhoneIdLength / 2];
    FillWithRandomBytes(bits, sizeof bits);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string id;
    for (unsigned char b : bits) {
        id += kHex[b >> 4];
        id += kHex[b & 15];
    }
    return id;
}

std::string PhoneCookie(std::string_view phoneId) {
    // A year, so a phone that checks in again at next year's party is still itself.
    return std::string(kPhoneCookie) + "=" + std::string(phoneId) +
           "; Path=/; Max-Age=31536000; SameSite=Strict; HttpOnly";
}

}  // namespace ld::checkin
