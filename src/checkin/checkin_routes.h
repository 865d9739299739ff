// What the check-in server answers, apart from how the bytes travel: the token, the four
// routes, the screening of a check-in before its body is read, and the answers themselves.
#pragma once

#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checkin/checkin_desk.h"
#include "checkin/checkin_server.h"
#include "checkin/client_gate.h"

namespace ld::checkin {

using RequestHead = boost::beast::http::request_header<>;
using Answer = boost::beast::http::response<boost::beast::http::string_body>;

// A request target split into its percent-decoded path and query ('+' is a space there).
struct Target {
    std::string path;
    std::vector<std::pair<std::string, std::string>> query;
    // The first value given for `key`; "" when there is none.
    std::string param(std::string_view key) const;
};
Target ParseTarget(std::string_view target);

// Who sent a check-in and under what name, from its head; no photo.
Submission Asked(const RequestHead& head, const Target& target);
// What the operator is told of a refusal that means trouble (too many, too big); nullopt for
// one that does not (a wrong token, a page that does not exist).
std::optional<std::string> ReasonToTell(const boost::beast::http::response_header<>& answer);

// The refusal sent when the request cannot be read as HTTP.
Answer BadRequest();
// The refusal of a check-in whose photo did not arrive whole.
Answer IncompletePhoto();

class Routes {
public:
    Routes(std::string token, ServerLimits limits, ClientGate& gate);

    // The answer for a request whose head is in, when it is a refusal; nullopt when it may go
    // on: a page is then served by page(), a check-in has its body read and goes to checkin().
    std::optional<Answer> screen(const RequestHead& head, const Target& target,
                                 const std::string& address);
    Answer page(const RequestHead& head, const Target& target) const;
    // Whether the request carries the token: only then does a refusal name it in the log,
    // or anyone guessing could fill the log with names of their choosing.
    bool hasToken(const Target& target) const;
    // Runs the desk: on a worker thread, possibly on several at once.
    Answer checkin(const RequestHead& head, const Target& target, std::string photo,
                   const std::string& address, const CheckinServer::Submit& submit) const;

private:
    std::optional<Answer> screenCheckin(const RequestHead& head, const std::string& address);

    const std::string token_;
    const ServerLimits limits_;
    ClientGate& gate_;
};

// Adds the headers every answer carries and ends the connection after it; for a HEAD
// request the body is left out but its length is still told.
void Finish(Answer& answer, bool headOnly);

}  // namespace ld::checkin
