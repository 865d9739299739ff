#include "checkin/checkin_routes.h"

#include <algorithm>
#include <charconv>

#include "checkin/checkin_page.h"
#include "checkin/checkin_replies.h"

namespace ld::checkin {

namespace {
namespace http = boost::beast::http;

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kJson = "application/json; charset=utf-8";

struct Route {
    std::string_view path;
    bool post;
};
constexpr Route kRoutes[] = {{"/", false}, {"/checkin", true}};
// What an answer may load; `code` is who may run script and style: 'self', or the page's
// own nonce.
std::string Policy(std::string_view code) {
    return "default-src 'none'; script-src " + std::string(code) + "; style-src " +
           std::string(code) +
           "; img-src 'self' data: blob:; connect-src 'self'; base-uri 'none'; form-action "
           "'none'; frame-ancestors 'none'";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// %XX becomes its byte; a % not followed by two hex digits stays as it is.
std::string Decoded(std::string_view text, bool plusIsSpace) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += plusIsSpace && text[i] == '+' ? ' ' : text[i];
        }
    }
    return out;
}

std::string Header(const RequestHead& head, http::field field) {
    auto it = head.find(field);
    return it == head.end() ? std::string() : std::string(it->value());
}

bool SameToken(std::string_view given, std::string_view token) {
    if (token.empty() || given.size() != token.size()) return false;
    unsigned char difference = 0;  // every byte compared, so timing tells nothing
    for (size_t i = 0; i < token.size(); ++i) difference |= given[i] ^ token[i];
    return difference == 0;
}

Answer Make(http::status status, const char* type, std::string body) {
    Answer answer{status, 11};
    answer.set(http::field::content_type, type);
    answer.body() = std::move(body);
    return answer;
}

Answer Refusal(http::status status, std::string_view message) {
    return Make(status, kJson, RefusalJson(message));
}

Answer PlainRefusal(http::status status, std::string_view title, std::string_view line) {
    return Make(status, kHtml, PlainPage(title, line));
}

// The declared body length; nullopt when there is more than one or it is not a plain
// decimal number.
std::optional<size_t> ContentLength(const RequestHead& head) {
    if (head.count(http::field::content_length) == 0) return size_t{0};
    if (head.count(http::field::content_length) != 1) return std::nullopt;
    const std::string value = Header(head, http::field::content_length);
    size_t length = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (error != std::errc() || end != value.data() + value.size() || value.empty()) {
        return std::nullopt;
    }
    return length;
}
}  // namespace

std::string Target::param(std::string_view key) const {
    for (const auto& [k, v] : query) {
        if (k == key) return v;
    }
    return {};
}

Target ParseTarget(std::string_view target) {
    Target parsed;
    const size_t mark = target.find('?');
    parsed.path = Decoded(target.substr(0, mark), false);
    std::string_view query =
        mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
    while (!query.empty()) {
        const size_t end = query.find('&');
        const std::string_view pair = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
        if (pair.empty()) continue;
        const size_t equals = pair.find('=');
        parsed.query.emplace_back(Decoded(pair.substr(0, equals), true),
                                  equals == std::string_view::npos
                                      ? std::string()
                                      : Decoded(pair.substr(equals + 1), true));
    }
    return parsed;
}

Submission Asked(const RequestHead& head, const Target& target) {
    Submission s;
    s.name = target.param("name");
    s.department = target.param("dept");
    s.phoneId = PhoneIdFromCookies(Header(head, http::field::cookie));
    return s;
}

std::optional<std::string> ReasonToTell(const http::response_header<>& answer) {
    if (answer.result() == http::status::payload_too_large) return "照片太大（413）";
    if (answer.result() == http::status::too_many_requests) return "签到太频繁（429）";
    return std::nullopt;
}

Answer BadRequest() {
    return Refusal(http::status::bad_request, "请求格式不对，请刷新页面后重试。");
}

Answer IncompletePhoto() { return Refusal(http::status::bad_request, "照片没有传完整，请重试。"); }

Routes::Routes(std::string token, ServerLimits limits, ClientGate& gate)
    : token_(std::move(token)), limits_(limits), gate_(gate) {}

std::optional<Answer> Routes::screen(const RequestHead& head, const Target& target,
                                     const std::string& address) {
    if (!gate_.mayTryToken(address)) {
        Answer refusal = PlainRefusal(http::status::too_many_requests, "请稍后再试",
                                      "尝试次数太多，请一分钟后重新扫描现场大屏幕上的二维码。");
        refusal.set(http::field::retry_after, "60");
        return refusal;
    }
    if (!SameToken(target.param("t"), token_)) {
        gate_.wrongToken(address);
        return PlainRefusal(http::status::forbidden, "无法签到",
                            "这个签到链接不完整或已失效，请重新扫描现场大屏幕上的二维码。");
    }
    const Route* route = nullptr;
    for (const Route& r : kRoutes) {
        if (target.path == r.path) route = &r;
    }
    if (route == nullptr) {
        return PlainRefusal(http::status::not_found, "没有这个页面",
                            "请重新扫描现场大屏幕上的二维码。");
    }
    const http::verb method = head.method();
    const bool allowed = route->post ? method == http::verb::post
                                     : (method == http::verb::get || method == http::verb::head);
    if (!allowed) {
        Answer refusal = PlainRefusal(http::status::method_not_allowed, "不支持的请求",
                                      "请重新扫描现场大屏幕上的二维码。");
        refusal.set(http::field::allow, route->post ? "POST" : "GET, HEAD");
        return refusal;
    }
    return route->post ? screenCheckin(head, address) : std::nullopt;
}

std::optional<Answer> Routes::screenCheckin(const RequestHead& head, const std::string& address) {
    // Only a declared length can be refused before the body is read.
    if (head.count(http::field::transfer_encoding) != 0) {
        return Refusal(http::status::length_required, "请求格式不对，请刷新页面后重试。");
    }
    // A compressed body would grow past the limit only after it was accepted.
    if (const std::string coding = Header(head, http::field::content_encoding);
        !coding.empty() && coding != "identity") {
        return Refusal(http::status::unsupported_media_type, "请求格式不对，请刷新页面后重试。");
    }
    const std::optional<size_t> length = ContentLength(head);
    if (!length) return BadRequest();
    if (*length > limits_.maxBodyBytes) {
        const size_t megabytes = std::max<size_t>(1, limits_.maxBodyBytes / (1024 * 1024));
        return Refusal(http::status::payload_too_large,
                       "照片太大（超过 " + std::to_string(megabytes) + " MB），请换一张照片。");
    }
    if (!gate_.allowCheckin(address)) {
        Answer refusal = Refusal(http::status::too_many_requests, "签到太频繁，请一分钟后再试。");
        refusal.set(http::field::retry_after, "60");
        return refusal;
    }
    return std::nullopt;
}

bool Routes::hasToken(const Target& target) const { return SameToken(target.param("t"), token_); }

Answer Routes::page(const RequestHead& head, const Target&) const {
    // The inline style and script run by their nonce, new with every page; nothing else does.
    const std::string nonce = NewPhoneId();
    Answer answer = Make(http::status::ok, kHtml, CheckinPage(token_, nonce));
    answer.set("Content-Security-Policy", Policy("'nonce-" + nonce + "'"));
    // The phone gets its identifier with the page, so that its first check-in carries it.
    if (PhoneIdFromCookies(Header(head, http::field::cookie)).empty()) {
        answer.set(http::field::set_cookie, PhoneCookie(NewPhoneId()));
    }
    return answer;
}

Answer Routes::checkin(const RequestHead& head, const Target& target, std::string photo,
                       const std::string& address, const CheckinServer::Submit& submit) const {
    Submission submission = Asked(head, target);
    const bool newPhone = submission.phoneId.empty();
    if (newPhone) submission.phoneId = NewPhoneId();
    submission.clientAddress = address;
    submission.photo = std::move(photo);

    Answer answer;
    try {
        const Outcome outcome = submit(submission);
        const bool accepted = outcome.status == Outcome::Status::Joined ||
                              outcome.status == Outcome::Status::Replaced;
        answer = Make(accepted ? http::status::ok : http::status::unprocessable_entity, kJson,
                      OutcomeJson(outcome));
    } catch (...) {
        answer = Refusal(http::status::internal_server_error, "签到没有成功，请稍后再试。");
    }
    if (newPhone) answer.set(http::field::set_cookie, PhoneCookie(submission.phoneId));
    return answer;
}

void Finish(Answer& answer, bool headOnly) {
    if (answer.find("Content-Security-Policy") == answer.end())
        answer.set("Content-Security-Policy", Policy("'self'"));
    answer.set("X-Content-Type-Options", "nosniff");
    answer.set(http::field::cache_control, "no-store");
    answer.set("Referrer-Policy", "no-referrer");
    answer.set("X-Frame-Options", "DENY");
    answer.keep_alive(false);  // one request per connection
    answer.prepare_payload();
    if (headOnly) {
        const size_t length = answer.body().size();
        answer.body().clear();
        answer.content_length(length);
    }
}

}  // namespace ld::checkin
