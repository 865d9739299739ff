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

// The page with the check-in token filled in where its links and the script need it.
std::string CheckinPage(std::string_view token);

// A plain Chinese page with a title and one line, for the 403 and other refusals.
std::string PlainPage(std::string_view title, std::string_view line);

std::string HtmlEscape(std::string_view text);

}  // namespace ld::checkin
