#include "app/tools/checkin_link.h"

#include <deque>
#include <iterator>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/common/job_runner.h"
#include "app/common/results_ledger.h"
#include "app/common/winners_log.h"
#include "app/draw/batch_draw.h"
#include "app/draw/draw_engine_parts.h"
#include "app/draw/draw_levels.h"
#include "app/draw/draw_phase.h"
#include "app/handlers.h"
#include "app/tools/checkin_limits.h"
#include "app/tools/photo_moderation.h"
#include "app/tools/checkin_screen.h"
#include "checkin/checkin_desk.h"
#include "checkin/checkin_server.h"
#include "checkin/name_list.h"
#include "checkin/qr_code.h"
#include "framework/template_library.h"
#include "services/encoding.h"
#include "services/files.h"
#include "services/host.h"
#include "services/network.h"
#include "services/profile.h"
#include "ui/gui.h"

namespace ld::app {

namespace {

constexpr int kDefaultPort = 8686;
constexpr int kPortsTried = 20;
constexpr size_t kRecentShown = 6;
constexpr size_t kRecentNames = 12;  // the full-screen view shows as many as fit
// How long after the code went up the operator is told that no phone has reached us.
constexpr int kQuietCheckMs = 3 * 60 * 1000;

struct Link {
    std::shared_ptr<checkin::Desk> desk;  // shared with a list import that may outlive it
    std::unique_ptr<checkin::CheckinServer> server;
    std::string token;
    std::vector<std::string> addresses;
    int selected = 0;
    std::deque<Bytes> recent;
    std::deque<Text> recentNames;  // newest first
    std::vector<Text> waiting;     // joined while photos rolled
    bool panelHidden = false;      // stepped aside for a roll
    bool settingsFailureTold = false;
    EventLoop::TimerId quietCheck = 0;  // running until a phone reaches us or it is told
};

Link& TheLink() {
    static Link link;
    return link;
}

// Joins reported by the desk's worker threads, until the UI thread takes them in.
struct Arrivals {
    std::mutex mutex;
    std::vector<Text> participants;
};

Arrivals& TheArrivals() {
    static Arrivals arrivals;
    return arrivals;
}

void JoinAll(std::vector<Text> participants);

void TakeArrivals() {
    std::vector<Text> participants;
    {
        std::lock_guard lock(TheArrivals().mutex);
        participants.swap(TheArrivals().participants);
    }
    JoinAll(std::move(participants));
}

Text Stored(const char* key) { return ReadConfigText(ConfigStore::path(), "qiandao", Gbk(key)); }
bool Store(const char* key, const Text& value) {
    return WriteConfigText(ConfigStore::path(), "qiandao", Gbk(key), value);
}

void Tell(const char* utf8) {
    host().dialogs->showMessage(Gbk(utf8), msg::kIconWarning, Gbk("手机签到"));
}

// As the results file's failure is told: the operator must act, or people are left out.
void Warn(const char* utf8) {
    host().dialogs->showMessage(Gbk(utf8), msg::kIconWarning, Gbk("警告"));
}

// The token and the port must last: printed QR codes carry them.
void StoreSetting(const char* key, const Text& value) {
    Link& link = TheLink();
    if (Store(key, value) || std::exchange(link.settingsFailureTold, true)) return;
    Warn(
        "手机签到的设置无法写入配置文件，请检查磁盘！本次签到照常进行，但下次打开手机签到时"
        "二维码可能改变，已经打印的二维码将无法使用。");
}

std::string Url(const Link& link) {
    const std::string address =
        link.addresses.empty() ? "127.0.0.1" : link.addresses[static_cast<size_t>(link.selected)];
    return "http://" + address + ":" + std::to_string(link.server->port()) + "/?t=" + link.token;
}

void ShowPanel();

void PlacePanel(int left, int top) {
    StoreSetting("面板左边", ToText(left));
    StoreSetting("面板顶边", ToText(top));
}

void ChooseAddress(int index) {
    Link& link = TheLink();
    if (index < 0 || static_cast<size_t>(index) >= link.addresses.size()) return;
    link.selected = index;
    ShowPanel();
}

void ShowPanel() {
    RefreshCheckinScreen();
    Link& link = TheLink();
    // Batch winners keep the stage to themselves until their grid goes.
    if (!link.server || !hasGui() || link.panelHidden || BatchGridShown()) return;
    CheckinPanelView view;
    view.url = Url(link);
    const checkin::QrCode code = checkin::MakeQrCode(view.url);
    view.qrModules = code.modules;
    view.qrSize = code.size;
    view.count = link.desk->checkedInByPhones();
    view.recentPhotos.assign(link.recent.begin(), link.recent.end());
    for (const std::string& a : link.addresses) view.addresses.push_back(a);
    view.selectedAddress = link.selected;
    const Text left = Stored("面板左边"), top = Stored("面板顶边");
    if (!left.empty() && !top.empty()) {
        view.left = ToInt32(left);
        view.top = ToInt32(top);
    }
    view.moved = PlacePanel;
    view.addressChosen = ChooseAddress;
    gui().showCheckinPanel(Stage(), view);
}

// Joins go into the pool in one step, however many waited: one pass over the pool and one
// record write. Thousands of names imported during a roll, added one by one with a record
// write each, froze the stage for over a minute after the stop.
void AddToPool(const std::vector<Text>& participants) {
    DrawState& draw = State().draw;
    std::unordered_set<std::string_view> present;
    for (size_t start = 0; start < draw.poolText.size();) {
        size_t end = draw.poolText.find("\r\n", start);
        if (end == Text::npos) end = draw.poolText.size();
        present.emplace(draw.poolText.data() + start, end - start);
        start = end + 2;
    }
    // Nobody announced comes back through a check-in or an import (unless repeats are
    // allowed): the results file is the ledger.
    const Ledger ledger = ReadLedger(draw.resultsText, LevelTexts{});
    if (!ConfigStore::readLogical(keys::AllowRepeat()))
        for (const Text& winner : ledger.winners) present.insert(winner);
    // One line a person, whoever reported the join twice.
    std::vector<const Text*> joined;
    Text added;
    for (const Text& participant : participants) {
        if (!present.insert(participant).second) continue;
        joined.push_back(&participant);
        added += participant + "\r\n";
    }
    if (joined.empty()) return;
    // A resumed pool may end without a line end; the new names must not run into it.
    if (!draw.poolText.empty() && !draw.poolText.ends_with("\r\n")) draw.poolText += "\r\n";
    draw.poolText += added;
    // After a crash the recovered pool must hold them too, from the first join of the run on;
    // a record that cannot be written is told as a stop's is.
    SaveRecoveryRecord();
    Link& link = TheLink();
    const size_t first = joined.size() > kRecentShown ? joined.size() - kRecentShown : 0;
    for (size_t i = first; i < joined.size(); ++i) {
        link.recent.push_front(PreviewOf(*joined[i]));
        if (link.recent.size() > kRecentShown) link.recent.pop_back();
    }
    const size_t firstName = joined.size() > kRecentNames ? joined.size() - kRecentNames : 0;
    for (size_t i = firstName; i < joined.size(); ++i) {
        link.recentNames.push_front(*joined[i]);
        if (link.recentNames.size() > kRecentNames) link.recentNames.pop_back();
    }
}

void OnDrawPhase(DrawPhase phase) {
    Link& link = TheLink();
    if (phase == DrawPhase::Rolling) {
        CloseCheckinScreen();  // the roll is for everyone to see
        link.panelHidden = true;
        if (link.server && hasGui()) gui().hideCheckinPanel(Stage());
        return;
    }
    link.panelHidden = false;
    AddToPool(std::exchange(link.waiting, {}));
    ShowPanel();
}

checkin::DeskOptions DeskOptionsForStage() {
    checkin::DeskOptions options;
    options.photoFolder = files::InProgramDirectory(files::PhotoFolder());
    options.logFile = files::InProgramDirectory(CheckinLogName());
    if (ModerationOn()) options.pendingFolder = PendingPhotoFolder();
    // Worker threads: the pool is the UI thread's. The joins wait where the exit finds them.
    options.onJoined = [](const Text& participant) {
        {
            std::lock_guard lock(TheArrivals().mutex);
            TheArrivals().participants.push_back(participant);
        }
        host().loop->post(TakeArrivals);
    };
    options.onLogFailed = [] {
        host().loop->post([] {
            Warn("签到记录.csv 无法写入，请检查磁盘！签到的人照常加入抽奖，但签到记录不完整。");
        });
    };
    return options;
}

// One desk for the server and the imports, so that a list and a phone cannot both take a
// name: it lives while either needs it.
std::shared_ptr<checkin::Desk> SharedDesk() {
    static std::weak_ptr<checkin::Desk> shared;
    std::shared_ptr<checkin::Desk> desk = shared.lock();
    if (!desk) {
        desk = std::make_shared<checkin::Desk>(DeskOptionsForStage());
        shared = desk;
    }
    return desk;
}

bool StartServer(Link& link) {
    const Text fixedAddress = Stored("地址");
    const std::string listen = fixedAddress.empty() ? "0.0.0.0" : GbkToUtf8(fixedAddress);
    const int storedPort = ToInt32(Stored("端口"));
    if (storedPort > 0 && link.server->start(listen, storedPort)) return true;
    if (storedPort > 0) {
        Tell(
            "签到端口已被其他程序占用，本次改用另一个端口：已经打印的二维码暂时无法使用，"
            "请让大家扫描屏幕上的二维码。");
    }
    const int first = storedPort > 0 ? storedPort + 1 : kDefaultPort;
    for (int port = first; port < first + kPortsTried; ++port) {
        if (!link.server->start(listen, port)) continue;
        // The first port used is kept, so that printed codes go on working.
        if (storedPort <= 0) StoreSetting("端口", ToText(port));
        return true;
    }
    return false;
}

void StopQuietCheck(Link& link) {
    if (link.quietCheck) host().loop->stopTimer(std::exchange(link.quietCheck, 0));
}

// A firewall that was never asked, or a Wi-Fi that keeps guests apart, looks like a quiet
// hall: the operator hears of it while there is time to act. Never over a roll: then the
// next tick tells.
void CheckPhonesReachUs() {
    Link& link = TheLink();
    if (!link.server || link.server->reachedFromAnotherMachine()) return StopQuietCheck(link);
    if (!DrawIsIdle()) return;
    StopQuietCheck(link);
    Tell(
        "手机签到已打开 3 分钟，还没有一部手机连上本电脑。请检查：手机和电脑是否连着同一个 "
        "Wi-Fi；会场 Wi-Fi 是否隔离了设备；电脑的防火墙是否允许本程序访问网络（Windows "
        "第一次打开签到时会询问，请勾选“专用网络”并允许）。");
}

void Open() {
    Link& link = TheLink();
    link.settingsFailureTold = false;
    link.token = GbkToUtf8(Stored("口令"));
    if (link.token.empty()) {
        link.token = ReadableToken();
        StoreSetting("口令", link.token);
    }
    link.desk = SharedDesk();
    checkin::Desk* desk = link.desk.get();
    link.server = std::make_unique<checkin::CheckinServer>(
        [desk](const checkin::Submission& s) { return desk->submit(s); }, link.token,
        StoredCheckinLimits(),
        [desk](const checkin::RefusedRequest& r) { desk->refused(r.request, r.reason); });
    if (!StartServer(link)) {
        link.server.reset();
        link.desk.reset();
        Tell("无法打开手机签到：找不到可用的网络端口。");
        return;
    }
    const Text fixedAddress = Stored("地址");
    link.addresses.clear();
    if (!fixedAddress.empty()) {
        link.addresses.push_back(GbkToUtf8(fixedAddress));
    } else {
        for (const LocalAddress& a : LocalIpv4Addresses()) link.addresses.push_back(a.address);
        if (link.addresses.empty()) {
            Warn(
                "找不到本机的局域网地址，手机无法连接签到网址！请检查网络连接后重新打开手机签到，"
                "或在配置文件 [qiandao] 的 地址 中填写本机的局域网地址。");
        }
    }
    link.selected = 0;
    link.panelHidden = !DrawIsIdle();
    SetDrawPhaseListener(OnDrawPhase);
    ShowPanel();
    link.quietCheck = host().loop->startTimer(kQuietCheckMs, CheckPhonesReachUs);
}

void JoinAll(std::vector<Text> participants) {
    if (participants.empty()) return;
    Link& link = TheLink();
    if (!DrawIsIdle()) {
        link.waiting.insert(link.waiting.end(), std::make_move_iterator(participants.begin()),
                            std::make_move_iterator(participants.end()));
        SetDrawPhaseListener(OnDrawPhase);  // a list imported during a roll has no server
        return;
    }
    AddToPool(participants);
    ShowPanel();
}

}  // namespace

bool CheckinIsOpen() { return TheLink().server != nullptr; }

int CheckinCount() {
    const Link& link = TheLink();
    return link.server && link.desk ? link.desk->checkedInByPhones() : 0;
}

int CheckinRefusedCount() {
    const Link& link = TheLink();
    return link.server && link.desk ? link.desk->refusedCount() : 0;
}

void CloseCheckin() {
    Link& link = TheLink();
    StopQuietCheck(link);
    if (link.server) link.server->stop();
    link.server.reset();
    link.desk.reset();
    link.recentNames.clear();
    CloseCheckinScreen();
    if (hasGui() && IsWindowLoaded(kMainWindow)) gui().hideCheckinPanel(Stage());
}

void ToggleCheckin() {
    if (CheckinIsOpen()) {
        CloseCheckin();
    } else {
        Open();
    }
}

std::string CheckinUrl() {
    const Link& link = TheLink();
    return link.server ? Url(link) : std::string();
}

std::vector<Text> LatestCheckinNames() {
    const Link& link = TheLink();
    return {link.recentNames.begin(), link.recentNames.end()};
}

void JoinPool(const Text& participant) { JoinAll(std::vector<Text>{participant}); }

void RenewCheckinToken() {
    if (host().dialogs->showMessage(
            Gbk("更换口令后，已经打印或分享的签到二维码都将失效。确定更换吗？"), msg::kOkCancel,
            Gbk("更换签到口令")) != msg::kAnswerOk)
        return;
    if (!Store("口令", ReadableToken())) {
        Warn("新的签到口令无法写入配置文件，请检查磁盘！口令没有更换，原来的二维码仍然有效。");
        return;
    }
    ReopenCheckin();
}

void ReopenCheckin() {
    if (!CheckinIsOpen()) return;
    // The full-screen view stays up, with the new code.
    const bool screen = CheckinScreenShown();
    CloseCheckin();
    Open();
    if (screen && CheckinIsOpen()) ToggleCheckinScreen();
}

void SettleCheckinBeforeExit() {
    // Nobody told 签到成功 may be missing from what the exit saves: no more check-ins, the
    // import stopped where it is, then every join taken in.
    CloseCheckin();
    SettleJobBeforeExit();
    TakeArrivals();
    AddToPool(std::exchange(TheLink().waiting, {}));
}

void ImportNameListCommand() {
    // A roster of hundreds means hundreds of name cards: drawn on a worker while the stage
    // stays alive. Each join reaches the pool as its card is made.
    const Text caption = Gbk("导入名单");
    if (JobBusy(caption)) return;
    Text path;
    if (!host().dialogs->openFile(Gbk("名单文件(*.txt *.csv)|*.txt;*.csv"), path)) return;
    std::optional<Bytes> bytes = TryReadWholeFile(path);
    if (!bytes) {
        host().dialogs->showMessage(Gbk("无法读取名单文件：\r\n") + path, msg::kIconStop, caption);
        return;
    }
    const JobKind kind{caption, Gbk("正在导入名单，请稍候。"), true};
    StartJob(kind, [desk = SharedDesk(), list = std::move(*bytes)](const std::atomic<bool>& stop) {
        const checkin::ImportReport report = checkin::ImportNameList(
            *desk, checkin::ReadNameList(list), &stop, [](int done, int total) {
                ReportJobProgress(Gbk("正在导入名单：") + ToText(done) + " / " + ToText(total),
                                  total > 0 ? done * 100 / total : 100);
            });
        return JobDone([report] {
            host().dialogs->showMessage(Utf8ToGbk(checkin::ImportSummary(report)).value_or(Text()),
                                        msg::kIconInfo, Gbk("导入名单"));
        });
    });
}

Text CheckinLogName() { return Gbk("签到记录.csv"); }

const std::vector<const char*>& CheckinKeys() {
    static const std::vector<const char*> keys = [] {
        std::vector<const char*> all = {"地址", "端口", "口令", "面板左边", "面板顶边", "照片审核"};
        for (const char* key : CheckinLimitKeys()) all.push_back(key);
        return all;
    }();
    return keys;
}

}  // namespace ld::app
