#include "app/common/data_files.h"

#include "services/program.h"

namespace ld::files {

Text ConfigFile() { return "peizhi.a"; }
Text PhotoFolder() { return "photo"; }
Text PhotoPattern() { return "photo/*.JPG"; }
Text PhotoPath(const Text& name) { return "photo/" + name + ".jpg"; }
Text PrizeFolder() { return Gbk("奖品图片"); }
Text PrizePicture(int level) { return PrizeFolder() + "/" + ToText(level) + ".jpg"; }
Text Background() { return Gbk("底图.jpg"); }
Text BackgroundBackup() { return Gbk("底图_bak.jpg"); }
Text MusicFolder() { return "wav"; }
Text Music() { return "wav/bjyy.mp3"; }
Text Progress() { return Gbk("进度.txt"); }
Text Results() { return Gbk("抽奖结果.txt"); }
Text PickLog() { return "zj.txt"; }
Text StartupCopy() { return "title.txt"; }
Text TitleOverride() { return "cjini.txt"; }
Text HistoryFolder() { return "history"; }
Text PreviewCacheFolder() { return ".cache"; }
Text RecoveryRecord() { return ".ld-recovery"; }
Text SaveJournal() { return ".ld-save"; }
Text ResetJournal() { return ".ld-reset"; }
Text FolderLock() { return ".ld-lock"; }

Text InProgramDirectory(const Text& relative) { return ProgramDirectory() + "/" + relative; }

}  // namespace ld::files
