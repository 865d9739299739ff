#include "checkin/checkin_desk.h"

#include <ctime>

#include "checkin/photo_intake.h"
#include "media/name_card.h"
#include "services/csv.h"
#include "services/encoding.h"
#include "services/files.h"
#include "services/local_time.h"

namespace ld::checkin {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
const std::vector<std::string> kLogHeader = {"时间",       "姓名",     "部门",
                                             "客户端地址", "手机标识", "结果"};
constexpr std::string_view kJoined = "签到成功";
constexpr std::string_view kReplaced = "更换照片";
constexpr std::string_view kNameTaken = "该姓名已签到，如果您与他人同名，请填写部门";
constexpr std::string_view kListed =
    "您已在名单中，无需再签到。如想在大屏幕上显示自己的照片，请选择照片后再提交。";

std::string LocalTimeText() {
    const std::tm local = LocalTimeNow();
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

Outcome Refusal(std::string message) {
    Outcome outcome;
    outcome.message = std::move(message);
    return outcome;
}

}  // namespace

std::vector<LoggedCheckin> ReadCheckinLog(const Text& logFile) {
    std::string log = ReadWholeFile(logFile);
    if (std::string_view(log).starts_with(kBom)) log.erase(0, kBom.size());
    std::vector<LoggedCheckin> done;
    for (auto row : ParseCsv(log)) {
        for (std::string& field : row) field = UnguardedCsvField(std::move(field));
        if (row.size() < 6 || (row[5] != kJoined && row[5] != kReplaced)) continue;
        // The log keeps the fields as typed: the participant is made as the check-in made it.
        const NameCheck name = CheckName(row[1], "姓名");
        const NameCheck department = CheckName(row[2], "部门");
        if (!name.ok) continue;
        done.push_back({ParticipantOf(name.value, department.ok ? department.value : ""), row[4]});
    }
    return done;
}

Desk::Desk(DeskOptions options) : options_(std::move(options)) {
    // The phones that checked in before a restart keep their names: the log remembers them.
    for (const LoggedCheckin& c : ReadCheckinLog(options_.logFile)) {
        if (c.phoneId.empty()) {
            listCards_.insert(c.participant);
        } else {
            owners_[c.participant] = c.phoneId;
            listCards_.erase(c.participant);
        }
    }
}

int Desk::checkedInByPhones() {
    std::lock_guard lock(mutex_);
    int count = 0;
    for (const auto& [participant, phone] : owners_)
        count += !phone.empty() && !pending_.count(participant);
    return count;
}

Text Desk::photoPath(const Text& participant) const {
    return options_.photoFolder + "/" + participant + ".jpg";
}

bool Desk::hasPhoto(const Text& participant) const {
    // A name ends at its first dot: 刘备.销售部.jpg and 刘备.png are 刘备 as well.
    return FileExists(options_.photoFolder + "/" + participant + ".*");
}

bool Desk::reserve(const Text& participant, const Submission& s, bool& replacing,
                   std::string& problem) {
    std::lock_guard lock(mutex_);
    replacing = false;
    if (pending_.count(participant)) {
        problem = "该姓名正在签到，请稍后再试";
        return false;
    }
    auto owner = owners_.find(participant);
    const bool taken = owner != owners_.end() || hasPhoto(participant);
    if (taken) {
        // Only the phone that checked in may replace its photo; a photo put in by hand
        // has no phone and is never replaced. A listed person's name card waits for their
        // selfie: the first phone that brings one takes the card's place.
        const bool ownPhone =
            !s.phoneId.empty() && owner != owners_.end() && owner->second == s.phoneId;
        const bool card = listCards_.count(participant) > 0 && !s.phoneId.empty();
        if (!ownPhone && !card) {
            problem = std::string(kNameTaken);
            return false;
        }
        if (!ownPhone && s.photo.empty()) {
            problem = std::string(kListed);
            return false;
        }
        replacing = true;
    }
    owners_[participant] = s.phoneId;
    pending_.insert(participant);
    return true;
}

void Desk::release(const Text& participant, bool replacing) {
    std::lock_guard lock(mutex_);
    pending_.erase(participant);
    // A listed card whose claim failed is nobody's again.
    if (!replacing || listCards_.count(participant)) owners_.erase(participant);
}

void Desk::log(const Submission& s, const std::string& result) {
    const Text path = options_.logFile;
    std::string text =
        GuardedCsvLine({LocalTimeText(), s.name, s.department, s.clientAddress, s.phoneId, result});
    bool written = false;
    {
        std::lock_guard lock(logMutex_);
        if (!FileExists(path)) text = std::string(kBom) + GuardedCsvLine(kLogHeader) + text;
        written = AppendToFile(path, text);
    }
    if (!written && !logFailureTold_.exchange(true) && options_.onLogFailed) options_.onLogFailed();
}

void Desk::refused(const Submission& s, std::string_view reason) {
    ++refused_;
    std::string result = "拒绝：" + std::string(reason);
    if (s.name.empty()) {
        const auto now = std::chrono::steady_clock::now();
        std::lock_guard lock(unloggedMutex_);
        // A flood must not grow the table: forget addresses whose minute is over.
        if (unlogged_.size() > 1024)
            std::erase_if(unlogged_, [&](const auto& entry) {
                return now - entry.second.since >= std::chrono::minutes(1);
            });
        auto [it, first] = unlogged_.try_emplace(s.clientAddress, Unlogged{now, 0});
        if (!first && now - it->second.since < std::chrono::minutes(1)) {
            ++it->second.count;
            return;
        }
        if (it->second.count > 0)
            result += "（此前 1 分钟内另有 " + std::to_string(it->second.count) + " 次）";
        it->second = Unlogged{now, 0};
    }
    log(s, result);
}

Outcome Desk::finish(const Submission& s, const Text& participant, bool replacing,
                     Outcome outcome, bool kept) {
    if (!outcome.photo.empty() && !WriteWholeFile(photoPath(participant), outcome.photo)) {
        outcome = Refusal("照片无法保存，请告诉工作人员");
    }
    if (outcome.status == Outcome::Status::Refused) {
        release(participant, replacing);
        log(s, "拒绝：" + outcome.message);
        return outcome;
    }
    {
        std::lock_guard lock(mutex_);
        pending_.erase(participant);
        if (!s.phoneId.empty()) listCards_.erase(participant);
        if (s.phoneId.empty() && !replacing) listCards_.insert(participant);
    }
    outcome.participant = participant;
    log(s, kept ? std::string("再次签到（照片未更换）") : std::string(replacing ? kReplaced : kJoined));
    if (!replacing && options_.onJoined) options_.onJoined(participant);
    return outcome;
}

Outcome Desk::submit(const Submission& s) {
    const NameCheck name = CheckName(s.name, "姓名");
    NameCheck department;
    department.ok = true;
    if (!TrimName(s.department).empty()) department = CheckName(s.department, "部门");
    if (!name.ok || !department.ok) {
        Outcome refused = Refusal(name.ok ? department.problem : name.problem);
        log(s, "拒绝：" + refused.message);
        return refused;
    }
    const Text participant = ParticipantOf(name.value, department.value);
    bool replacing = false;
    std::string problem;
    if (!reserve(participant, s, replacing, problem)) {
        log(s, "拒绝：" + problem);
        return Refusal(problem);
    }
    Outcome outcome;
    outcome.message = "签到成功，祝您好运！";
    if (replacing && s.photo.empty()) {
        // Sent again without a photo: the photo stays as it is.
        outcome.status = Outcome::Status::Replaced;
        Outcome shown = finish(s, participant, true, std::move(outcome), true);
        shown.photo = ReadWholeFile(photoPath(participant));
        return shown;
    }
    if (s.photo.empty()) {
        outcome.photo = EncodeStoredPhoto(DrawNameCard(name.value, department.value));
        outcome.nameCard = true;
    } else {
        Intake intake = TakeInPhoto(s.photo);
        if (!intake.jpeg) return finish(s, participant, replacing, Refusal(intake.problem));
        outcome.photo = std::move(*intake.jpeg);
    }
    outcome.status = replacing ? Outcome::Status::Replaced : Outcome::Status::Joined;
    if (!options_.pendingFolder.empty() && !outcome.nameCard)
        return pend(s, participant, replacing, std::move(outcome), name.value, department.value);
    return finish(s, participant, replacing, std::move(outcome));
}

// The photo waits for the operator; a newcomer stands in the draw with a name card meanwhile,
// someone already there keeps the photo they have.
Outcome Desk::pend(const Submission& s, const Text& participant, bool replacing, Outcome outcome,
                   const std::string& name, const std::string& department) {
    const Text pending = options_.pendingFolder + "/" + participant + ".jpg";
    CreateFolder(options_.pendingFolder);  // may exist already
    if (!WriteWholeFile(pending, outcome.photo))
        return finish(s, participant, replacing, Refusal("照片无法保存，请告诉工作人员"));
    Outcome shown = outcome;
    outcome.photo = replacing ? std::string() : EncodeStoredPhoto(DrawNameCard(name, department));
    outcome.nameCard = !replacing;
    outcome.message = "签到成功，祝您好运！照片经工作人员审核后显示在大屏幕上。";
    Outcome done = finish(s, participant, replacing, std::move(outcome));
    if (done.status != Outcome::Status::Refused) {
        done.photo = std::move(shown.photo);  // the phone shows what it sent
        done.nameCard = false;
    } else {
        DeleteFileAt(pending);
    }
    return done;
}

Outcome Desk::addFromList(std::string_view nameText, std::string_view departmentText) {
    Submission s{std::string(nameText), std::string(departmentText), "", "名单导入", ""};
    const NameCheck name = CheckName(s.name, "姓名");
    NameCheck department;
    department.ok = true;
    if (!TrimName(s.department).empty()) department = CheckName(s.department, "部门");
    if (!name.ok || !department.ok) return Refusal(name.ok ? department.problem : name.problem);
    const Text participant = ParticipantOf(name.value, department.value);
    {
        std::lock_guard lock(mutex_);
        if (owners_.count(participant) || pending_.count(participant) || hasPhoto(participant)) {
            Outcome exists;
            exists.status = Outcome::Status::Exists;
            exists.participant = participant;
            return exists;
        }
        owners_[participant] = "";
        pending_.insert(participant);
    }
    Outcome outcome;
    outcome.status = Outcome::Status::Joined;
    outcome.nameCard = true;
    outcome.photo = EncodeStoredPhoto(DrawNameCard(name.value, department.value));
    return finish(s, participant, false, std::move(outcome));
}

}  // namespace ld::checkin
