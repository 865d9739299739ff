// The attendee's page: the HTML, its style sheet and its script, compiled in from
// src/checkin/page, and the plain pages for a refused request. No page carries a name: the
// script puts names into the document as text, never as markup.
#pragma once

#include <string>
#include <string_view>

namespace ld::checkin {

extern const std::string_view kPageHtml;
extern const std::string_view kPageCss;
extern const std::string_view kPageScript;

// The page as one response, its style and script inline: a phone on a crowded Wi-Fi gets it
// whole or not at all, never unstyled. The token is filled in where the script needs it;
// `nonce` marks the inline style and script as the ones the page's policy allows.
std::string CheckinPage(std::string_view token, std::string_view nonce);

// A plain Chinese page with a title and one line, for the 403 and other refusals.
std::string PlainPage(std::string_view title, std::string_view line);

std::string HtmlEscape(std::string_view text);

}  // namespace ld::checkin
