// What the check-in server sends back besides the page: the JSON answer to a check-in and
// the phone's identifier cookie.
#pragma once

#include <string>
#include <string_view>

#include "checkin/checkin_desk.h"

namespace ld::checkin {

// {"status":"joined"|"replaced"|"refused","message":...,"name":...,"photo":<base64 JPEG>,
//  "nameCard":true|false}; name and photo are empty for a refusal.
std::string OutcomeJson(const Outcome& outcome);
// {"status":"refused","message":...}: a refusal by the server itself (limits, bad request).
std::string RefusalJson(std::string_view message);

// A JSON string literal; also escapes < > & so the text is inert wherever it ends up.
std::string JsonString(std::string_view utf8);
std::string Base64(std::string_view bytes);

constexpr std::string_view kPhoneCookie = "ld_phone";
// The phone identifier from a Cookie header; empty when there is none or it is not one of
// ours (32 lowercase hex digits), so a made-up value never reaches the log.
std::string PhoneIdFromCookies(std::string_view cookieHeader);
// 128 bits from the OS, as 32 hex digits.
std::string NewPhoneId();
std::string PhoneCookie(std::string_view phoneId);

}  // namespace ld::checkin
