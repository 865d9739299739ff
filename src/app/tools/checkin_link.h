// Phone check-in wired to the draw: the desk and the server run while check-in is open,
// the attendees who join go into the pool (after the stop when photos are rolling), and the
// stage shows the check-in panel. Settings live in section [qiandao] of peizhi.a: 地址 and
// 端口 fix the address and port, 口令 is the token every address carries, 面板左边 and
// 面板顶边 the panel's place; the server's limits are there too (checkin_limits.h).
#pragma once

#include <string>
#include <vector>

#include "services/text.h"

namespace ld::app {

bool CheckinIsOpen();
int CheckinCount();            // people checked in by phone while open; 0 when closed
int CheckinRefusedCount();     // requests the server refused since the desk opened
void ToggleCheckin();          // 手机签到
void ImportNameListCommand();  // 导入名单
void RenewCheckinToken();      // 更换签到口令
void ReopenCheckin();          // closed and opened again when open: new settings apply
// What the code holds: the address phones open, with the token; empty when closed.
std::string CheckinUrl();
// Who joined lately while check-in was open (by phone or from a list), newest first.
std::vector<Text> LatestCheckinNames();
// Stops the server, if it runs.
void CloseCheckin();
// Before the program ends (either exit answer): check-in closed, a running import stopped
// (the operator told how far it got), and everyone who joined meanwhile in the pool.
void SettleCheckinBeforeExit();

// Someone joined (UI thread): into the pool now, or right after the stop during a roll.
void JoinPool(const Text& participant);

Text CheckinLogName();  // 签到记录.csv

// The keys of [qiandao], for the reset that keeps them.
const std::vector<const char*>& CheckinKeys();

}  // namespace ld::app
