// The check-in server is built on cpp-httplib (Debian's libcpp-httplib 0.11.4), not on Qt HTTP
// Server 6.4. Qt's QAbstractHttpServer hands a handler the finished QHttpServerRequest, body
// and all, parsed on the thread of its QTcpServer: there is no size limit and no point between
// the headers and the body where a 413 could stop a 50 MB upload, and a handler that takes a
// while holds every other client on that thread. cpp-httplib serves each connection on a pool
// thread (never the UI thread), calls a pre-routing handler as soon as the headers are in and
// lets a handler read the body itself. What it lacks for a shared Wi-Fi - a deadline for the
// whole request and caps on connections per address and in total - is added where each
// accepted socket is served: process_and_close_socket is overridden (a private virtual may
// still be overridden) to count the peer and run the library's protected process_request over
// a DeadlineStream, one request per connection.
#include "checkin/checkin_server.h"

#include <httplib.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <mutex>
#include <optional>
#include <semaphore>
#include <set>
#include <thread>

#include "checkin/checkin_page.h"
#include "checkin/checkin_replies.h"
#include "checkin/client_gate.h"
#include "checkin/connection_sockets.h"
#include "checkin/deadline_stream.h"

namespace ld::checkin {

namespace {
using Clock = std::chrono::steady_clock;
using httplib::Request;
using httplib::Response;
using Screened = httplib::Server::HandlerResponse;

constexpr size_t kHeaderBudget = 64 * 1024;  // request line and headers
constexpr auto kWriteTimeout = std::chrono::seconds(10);
// Pool threads beyond the connection cap, so that turning a connection away never waits.
constexpr int kSpareWorkers = 4;

// Check-ins are background work: decoding and writing 300 photos must not delay the roll's
// next tick on a two-core laptop. A priority alone does not do it: a core busy in the
// kernel for a serving thread (socket copies, large frees) is not handed over at once. So
// each serving thread keeps off the first core, which stays free for the stage, and lowers
// its own priority (Linux applies both per thread).
void MakeThisThreadBackground() {
    const unsigned cores = std::thread::hardware_concurrency();
    if (cores > 1) {
        cpu_set_t others;
        CPU_ZERO(&others);
        for (unsigned c = 1; c < cores && c < CPU_SETSIZE; ++c) CPU_SET(c, &others);
        sched_setaffinity(0, sizeof others, &others);
    }
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
}

class BackgroundPool : public httplib::TaskQueue {
public:
    explicit BackgroundPool(size_t threads) : pool_(threads) {}
    void enqueue(std::function<void()> task) override {
        pool_.enqueue([task = std::move(task)] {
            thread_local const bool background = (MakeThisThreadBackground(), true);
            (void)background;
            task();
        });
    }
    void shutdown() override { pool_.shutdown(); }

private:
    httplib::ThreadPool pool_;
};

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kJson = "application/json; charset=utf-8";

struct Route {
    std::string_view path;
    bool post;
};
constexpr Route kRoutes[] = {
    {"/", false}, {"/app.css", false}, {"/app.js", false}, {"/checkin", true}};

httplib::Headers SafetyHeaders() {
    return {
        {"Content-Security-Policy",
         "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data: blob:; "
         "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'"},
        {"X-Content-Type-Options", "nosniff"},
        {"Cache-Control", "no-store"},
        {"Referrer-Policy", "no-referrer"},
        {"X-Frame-Options", "DENY"},
    };
}

bool SameToken(std::string_view given, std::string_view token) {
    if (token.empty() || given.size() != token.size()) return false;
    unsigned char difference = 0;  // every byte compared, so timing tells nothing
    for (size_t i = 0; i < token.size(); ++i) difference |= given[i] ^ token[i];
    return difference == 0;
}

void Refuse(Response& res, int status, std::string_view message) {
    res.status = status;
    res.set_content(RefusalJson(message), kJson);
}

void PlainRefusal(Response& res, int status, std::string_view title, std::string_view line) {
    res.status = status;
    res.set_content(PlainPage(title, line), kHtml);
}

// The declared body length; nullopt when the header is not a plain decimal number.
std::optional<size_t> ContentLength(const Request& req) {
    if (!req.has_header("Content-Length")) return size_t{0};
    if (req.get_header_value_count("Content-Length") != 1) return std::nullopt;
    const std::string value = req.get_header_value("Content-Length");
    size_t length = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (error != std::errc() || end != value.data() + value.size() || value.empty()) {
        return std::nullopt;
    }
    return length;
}
}  // namespace

namespace {
class GuardedServer;

// Everything behind CheckinServer; at namespace level so that the httplib subclass can
// reach it.
struct Core {
    using Submit = CheckinServer::Submit;

    Core(Submit submitter, std::string checkinToken, ServerLimits serverLimits)
        : submit(std::move(submitter)),
          token(std::move(checkinToken)),
          limits(serverLimits),
          gate(limits.maxConnectionsPerAddress, limits.maxConnections,
               limits.checkinsPerMinutePerAddress),
          desks(std::max(1, static_cast<int>(std::thread::hardware_concurrency()) - 1)) {}

    bool admit(int socket, const std::string& address);
    void release(int socket, const std::string& address);
    void configure(httplib::Server& server);
    Screened screen(const Request& req, Response& res, bool countCheckin);
    Screened screenCheckin(const Request& req, Response& res, bool countCheckin);
    void servePage(const Request& req, Response& res);
    void serveCheckin(const Request& req, Response& res, std::string photo);

    const Submit submit;
    const std::string token;
    const ServerLimits limits;
    ClientGate gate;
    // Decoding and re-encoding photos is the heavy part; leave a core for the stage.
    std::counting_semaphore<> desks;

    std::unique_ptr<GuardedServer> server;
    std::thread listener;
    int port = 0;

    std::mutex socketsMutex;
    std::set<int> sockets;  // connections being served, so that stop() can cut them
    bool stopping = false;
};

class GuardedServer : public httplib::Server {
public:
    explicit GuardedServer(Core& owner) : owner_(owner) {}

    // The library listens with a backlog of 5: a room full of phones scanning at once would
    // have their connections dropped and retried a second later. Linux takes a second
    // listen() on the bound socket as a new backlog.
    void widenBacklog() { ::listen(svr_sock_, SOMAXCONN); }

private:
    bool process_and_close_socket(socket_t socket) override {
        int port = 0;
        const std::string address = PeerAddress(socket, port);
        if (address.empty() || !owner_.admit(socket, address)) {
            TurnAway(socket);
            return false;
        }
        const auto& limits = owner_.limits;
        DeadlineStream stream(socket, address, port,
                              Clock::now() + std::chrono::seconds(limits.readTimeoutSeconds),
                              limits.maxBodyBytes + kHeaderBudget, kWriteTimeout);
        bool served = false;
        try {
            bool closed = false;
            served = process_request(stream, true, closed, nullptr);
        } catch (...) {
            // Out of memory or the like: this connection ends, the server goes on.
        }
        owner_.release(socket, address);
        CloseGently(socket);
        return served;
    }

    Core& owner_;
};
}  // namespace

struct CheckinServer::Impl : Core {
    using Core::Core;
};

bool Core::admit(int socket, const std::string& address) {
    std::lock_guard lock(socketsMutex);
    if (stopping || !gate.enter(address)) return false;
    sockets.insert(socket);
    return true;
}

void Core::release(int socket, const std::string& address) {
    std::lock_guard lock(socketsMutex);
    sockets.erase(socket);  // before the close, so stop() never cuts a reused descriptor
    gate.leave(address);
}

void Core::configure(httplib::Server& s) {
    s.set_socket_options(ReuseAddressOnly);
    s.set_address_family(AF_INET);
    s.set_keep_alive_max_count(1);
    s.set_payload_max_length(limits.maxBodyBytes);
    s.set_default_headers(SafetyHeaders());
    const size_t workers = static_cast<size_t>(std::max(1, limits.maxConnections) + kSpareWorkers);
    s.new_task_queue = [workers] { return new BackgroundPool(workers); };

    s.set_pre_routing_handler(
        [this](const Request& req, Response& res) { return screen(req, res, true); });
    // A client that asks before sending its body hears a refusal before sending it.
    s.set_expect_100_continue_handler([this](const Request& req, Response& res) {
        return screen(req, res, false) == Screened::Handled ? res.status : 100;
    });

    s.Get("/", [this](const Request& req, Response& res) { servePage(req, res); });
    s.Get("/app.css", [](const Request&, Response& res) {
        res.set_content(std::string(kPageCss), "text/css; charset=utf-8");
    });
    s.Get("/app.js", [](const Request&, Response& res) {
        res.set_content(std::string(kPageScript), "text/javascript; charset=utf-8");
    });
    // The library picks the plain handler or the reading one by whether it expects a body;
    // both end in the same check-in. The screening has already bounded the length.
    s.Post("/checkin",
           [this](const Request& req, Response& res) { serveCheckin(req, res, req.body); });
    s.Post("/checkin",
           [this](const Request& req, Response& res, const httplib::ContentReader& read) {
               std::string photo;
               bool whole = read([&](const char* data, size_t size) {
                   if (photo.size() + size > limits.maxBodyBytes) return false;
                   photo.append(data, size);
                   return true;
               });
               if (!whole) {
                   Refuse(res, 400, "照片没有传完整，请重试。");
                   return;
               }
               serveCheckin(req, res, std::move(photo));
           });
}

Screened Core::screen(const Request& req, Response& res, bool countCheckin) {
    if (!SameToken(req.get_param_value("t"), token)) {
        PlainRefusal(res, 403, "无法签到",
                     "这个签到链接不完整或已失效，请重新扫描现场大屏幕上的二维码。");
        return Screened::Handled;
    }
    const Route* route = nullptr;
    for (const Route& r : kRoutes) {
        if (req.path == r.path) route = &r;
    }
    if (route == nullptr) {
        PlainRefusal(res, 404, "没有这个页面", "请重新扫描现场大屏幕上的二维码。");
        return Screened::Handled;
    }
    const bool allowed =
        route->post ? req.method == "POST" : (req.method == "GET" || req.method == "HEAD");
    if (!allowed) {
        PlainRefusal(res, 405, "不支持的请求", "请重新扫描现场大屏幕上的二维码。");
        res.set_header("Allow", route->post ? "POST" : "GET, HEAD");
        return Screened::Handled;
    }
    return route->post ? screenCheckin(req, res, countCheckin) : Screened::Unhandled;
}

Screened Core::screenCheckin(const Request& req, Response& res, bool countCheckin) {
    // Only a declared length can be refused before the body is read.
    if (req.has_header("Transfer-Encoding")) {
        Refuse(res, 411, "请求格式不对，请刷新页面后重试。");
        return Screened::Handled;
    }
    // A compressed body would grow past the limit only after it was accepted.
    if (const std::string coding = req.get_header_value("Content-Encoding");
        !coding.empty() && coding != "identity") {
        Refuse(res, 415, "请求格式不对，请刷新页面后重试。");
        return Screened::Handled;
    }
    const std::optional<size_t> length = ContentLength(req);
    if (!length) {
        Refuse(res, 400, "请求格式不对，请刷新页面后重试。");
        return Screened::Handled;
    }
    if (*length > limits.maxBodyBytes) {
        const size_t megabytes = std::max<size_t>(1, limits.maxBodyBytes / (1024 * 1024));
        Refuse(res, 413, "照片太大（超过 " + std::to_string(megabytes) + " MB），请换一张照片。");
        return Screened::Handled;
    }
    if (countCheckin && !gate.allowCheckin(req.remote_addr)) {
        Refuse(res, 429, "签到太频繁，请一分钟后再试。");
        res.set_header("Retry-After", "60");
        return Screened::Handled;
    }
    return Screened::Unhandled;
}

void Core::servePage(const Request& req, Response& res) {
    // The phone gets its identifier with the page, so that its first check-in carries it.
    if (PhoneIdFromCookies(req.get_header_value("Cookie")).empty()) {
        res.set_header("Set-Cookie", PhoneCookie(NewPhoneId()));
    }
    res.set_content(CheckinPage(token), kHtml);
}

void Core::serveCheckin(const Request& req, Response& res, std::string photo) {
    Submission submission;
    submission.name = req.get_param_value("name");
    submission.department = req.get_param_value("dept");
    submission.phoneId = PhoneIdFromCookies(req.get_header_value("Cookie"));
    if (submission.phoneId.empty()) {
        submission.phoneId = NewPhoneId();
        res.set_header("Set-Cookie", PhoneCookie(submission.phoneId));
    }
    submission.clientAddress = req.remote_addr;
    submission.photo = std::move(photo);

    Outcome outcome;
    try {
        desks.acquire();
        struct Release {
            std::counting_semaphore<>& s;
            ~Release() { s.release(); }
        } release{desks};
        outcome = submit(submission);
    } catch (...) {
        Refuse(res, 500, "签到没有成功，请稍后再试。");
        return;
    }
    const bool accepted =
        outcome.status == Outcome::Status::Joined || outcome.status == Outcome::Status::Replaced;
    res.status = accepted ? 200 : 422;
    res.set_content(OutcomeJson(outcome), kJson);
}

CheckinServer::CheckinServer(Submit submit, std::string token, ServerLimits limits)
    : impl_(std::make_unique<Impl>(std::move(submit), std::move(token), limits)) {}

CheckinServer::~CheckinServer() { stop(); }

bool CheckinServer::start(const std::string& address, int port) {
    stop();
    auto server = std::make_unique<GuardedServer>(*impl_);
    impl_->configure(*server);
    const int bound = port == 0 ? server->bind_to_any_port(address)
                                : (server->bind_to_port(address, port) ? port : -1);
    if (bound <= 0) return false;
    server->widenBacklog();
    {
        std::lock_guard lock(impl_->socketsMutex);
        impl_->stopping = false;
    }
    auto done = std::make_shared<std::atomic<bool>>(false);
    impl_->listener = std::thread([s = server.get(), done] {
        s->listen_after_bind();
        *done = true;
    });
    // httplib's stop() does nothing until the loop runs; wait for it so stop() always works.
    while (!server->is_running() && !*done)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    impl_->server = std::move(server);
    if (*done) {
        stop();
        return false;
    }
    impl_->port = bound;
    return true;
}

void CheckinServer::stop() {
    if (!impl_->server) return;
    {
        std::lock_guard lock(impl_->socketsMutex);
        impl_->stopping = true;
        for (int socket : impl_->sockets) ::shutdown(socket, SHUT_RDWR);
    }
    impl_->server->stop();
    if (impl_->listener.joinable()) impl_->listener.join();
    impl_->server.reset();
    impl_->port = 0;
}

int CheckinServer::port() const { return impl_->port; }

}  // namespace ld::checkin
