#include "app/settings/settings_media.h"

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/settings/settings_common.h"
#include "services/files.h"
#include "services/host.h"

namespace ld::app {

namespace {

Text BackgroundPath() { return files::InProgramDirectory(files::Background()); }

// The window shows whatever 底图.jpg now holds; no file, no background.
void ShowBackgroundFile() {
    Stage().self().setText(prop::kBackPicture, ReadWholeFile(BackgroundPath()));
}

void SetMusic(bool enabled) {
    Stage().setMenuChecked(Gbk("启用背景音乐"), enabled);
    Stage().setMenuChecked(Gbk("禁用背景音乐"), !enabled);
    ConfigStore::writeLogical(keys::BackgroundMusic(), enabled);
}

// The desktop reports nothing itself when it cannot open a path, so we do.
void TellNotOpened(const char* utf8What, const Text& path) {
    Tell(Gbk(utf8What) + Gbk("：\r\n") + path, msg::kIconWarning, Gbk("无法打开"));
}

}  // namespace

void ChangeBackground(Control&, EventArgs&) {
    std::optional<Text> chosen = ChooseFileWithPanelDialog(Gbk("图形文件(*.jpg)|*.jpg"));
    if (!chosen) return;
    // A failed copy leaves the previous file, which is then shown again.
    CopyFileTo(*chosen, BackgroundPath());
    ShowBackgroundFile();
}

void RemoveBackground(Control&, EventArgs&) {
    DeleteFileAt(BackgroundPath());
    ShowBackgroundFile();
}

void ChangeMusic(Control&, EventArgs&) {
    // Before the dialog, so the folder is there even when the operator cancels.
    CreateFolder(files::InProgramDirectory(files::MusicFolder()));
    std::optional<Text> chosen = ChooseFileWithPanelDialog(Gbk("音乐文件(*.mp3)|*.mp3"));
    if (!chosen) return;
    // Played from the next draw on, when music is enabled.
    CopyFileTo(*chosen, files::InProgramDirectory(files::Music()));
}

void EnableMusic(Control&, EventArgs&) { SetMusic(true); }

void DisableMusic(Control&, EventArgs&) { SetMusic(false); }

void PhotoFolderHelp(Control&, EventArgs&) {
    // The photo list is built once, at start-up.
    Tell(Gbk("若增加新的抽奖照片，请将程序退出并重新运行！"), msg::kOk, Gbk("请注意"));
    const Text folder = files::InProgramDirectory(files::PhotoFolder());
    if (!host().shell->openInShell(folder)) TellNotOpened("无法打开照片文件夹", folder);
}

void ShowResults(Control&, EventArgs&) {
    const Text results = files::InProgramDirectory(files::Results());
    if (host().shell->shellOpen(0, results)) return;
    if (!FileExists(results)) {
        TellNotOpened("还没有抽奖结果，找不到结果文件", results);
    } else {
        TellNotOpened("无法打开抽奖结果文件", results);
    }
}

}  // namespace ld::app
