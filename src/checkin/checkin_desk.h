// The check-in desk: what happens to one attendee's check-in, whatever brought it (the
// phone page through the server, or a line of an imported name list). It checks the name,
// turns the photo (or, without one, a name card) into photo/<name>.jpg and logs every
// check-in to 签到记录.csv. Safe to call from several worker threads at once; the UI thread
// only hears "this person joined" through `onJoined`.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "checkin/names.h"
#include "services/text.h"

namespace ld::checkin {

struct Submission {
    std::string name;           // UTF-8, as typed
    std::string department;     // UTF-8, may be empty
    std::string phoneId;        // random identifier the phone keeps in a cookie; may be empty
    std::string clientAddress;  // for the log
    std::string photo;          // the uploaded picture's bytes; empty: a name card instead
};

struct Outcome {
    // Exists: a list's name that already has a photo, left alone.
    enum class Status { Joined, Replaced, Exists, Refused };
    Status status = Status::Refused;
    std::string message;  // UTF-8, for the attendee's page
    Text participant;     // GBK: the pool's name and the photo's file name without .jpg
    std::string photo;    // the JPEG now in photo/, as the stage will show it
    bool nameCard = false;
};

struct DeskOptions {
    Text photoFolder;  // GBK path of photo/
    Text logFile;      // GBK path of 签到记录.csv
    // Runs on the calling worker thread after a new participant's photo is in place (not
    // for a replacement: the pool already has the name).
    std::function<void(const Text& participant)> onJoined;
    // Runs on the calling worker thread the first time a log line cannot be written.
    std::function<void()> onLogFailed;
    // Set while photos are moderated: an uploaded photo waits there (<participant>.jpg) for
    // the operator, and photo/ gets a name card for a newcomer meanwhile.
    Text pendingFolder;
};

// A check-in that 签到记录.csv lists as done: the participant (GBK) whose photo or name card
// the program made, and the phone that did it (empty for a list's line). In log order.
struct LoggedCheckin {
    Text participant;
    std::string phoneId;
};
std::vector<LoggedCheckin> ReadCheckinLog(const Text& logFile);

class Desk {
public:
    explicit Desk(DeskOptions options);

    Outcome submit(const Submission& submission);
    // The list import's check-in: a name card, unless a photo of that name exists.
    Outcome addFromList(std::string_view name, std::string_view department);
    // How many names phones checked in, this run and before (from the log).
    int checkedInByPhones();
    // A request the server refused before it reached the desk (too many, too big, cut off):
    // counted, and logged so that the operator sees trouble. One without a name (a
    // connection turned away) is logged once a minute per address, with how many there were.
    void refused(const Submission& submission, std::string_view reason);
    int refusedCount() const { return refused_; }

private:
    // The participant's name is held while its photo is made, so that two phones cannot
    // both take it. False when it is taken; `replacing` when the same phone takes it again.
    bool reserve(const Text& participant, const Submission& s, bool& replacing,
                 std::string& problem);
    void release(const Text& participant, bool replacing);
    Outcome pend(const Submission& s, const Text& participant, bool replacing, Outcome outcome,
                 const std::string& name, const std::string& department);
    // `kept`: sent again without a photo, the photo stays.
    Outcome finish(const Submission& s, const Text& participant, bool replacing, Outcome outcome,
                   bool kept = false);
    void log(const Submission& s, const std::string& result);
    Text photoPath(const Text& participant) const;
    bool hasPhoto(const Text& participant) const;  // any photo/<participant>.* file

    DeskOptions options_;
    std::mutex mutex_;                    // owners_ and pending_; never held over a disk write
    std::map<Text, std::string> owners_;  // participant -> phone that checked in
    std::set<Text> pending_;              // participants whose photo is being made
    std::set<Text> listCards_;            // name cards from a list, waiting for a selfie
    // Log lines queue here, so that the header is written once and first; the UI thread's
    // count and the other check-ins do not wait for a flush to disk.
    std::mutex logMutex_;
    std::atomic<bool> logFailureTold_ = false;
    std::atomic<int> refused_ = 0;
    struct Unlogged {
        std::chrono::steady_clock::time_point since;
        int count = 0;
    };
    std::mutex unloggedMutex_;
    std::map<std::string, Unlogged> unlogged_;  // address -> nameless refusals since its line
};

}  // namespace ld::checkin
