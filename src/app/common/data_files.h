// The fixed relative names of the data folder. Every data file is ProgramDirectory() + one
// of these (GBK), except cjini.txt, which is opened by its bare name.
#pragma once

#include "services/text.h"

namespace ld::files {

Text ConfigFile();                 // peizhi.a
Text PhotoFolder();                // photo
Text PhotoPattern();               // photo/*.JPG
Text PhotoPath(const Text& name);  // photo/<name>.jpg
Text PrizeFolder();                // 奖品图片
Text PrizePicture(int level);      // 奖品图片/<level>.jpg
Text Background();                 // 底图.jpg
Text BackgroundBackup();           // 底图_bak.jpg
Text MusicFolder();                // wav
Text Music();                      // wav/bjyy.mp3
Text Progress();                   // 进度.txt
Text Results();                    // 抽奖结果.txt
Text PickLog();                    // zj.txt
Text StartupCopy();                // title.txt
Text TitleOverride();              // cjini.txt (bare name)
Text HistoryFolder();              // history
Text PreviewCacheFolder();         // .cache
Text RecoveryRecord();             // .ld-recovery
Text SaveJournal();                // .ld-save
Text ResetJournal();               // .ld-reset
Text FolderLock();                 // .ld-lock

// ProgramDirectory() + "/" + relative.
Text InProgramDirectory(const Text& relative);

}  // namespace ld::files
