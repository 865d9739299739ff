#include "app/settings/settings_common.h"

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "services/host.h"

namespace ld::app {

int Tell(const Text& text, int style, const Text& caption) {
    return host().dialogs->showMessage(text, style, caption);
}

std::optional<Text> ChooseFileWithPanelDialog(const Text& filter) {
    Control& dialog = StageControl("通用对话框1");
    dialog.setText(prop::kFilter, filter);
    Text chosen;
    if (!host().dialogs->openFile(filter, chosen)) return std::nullopt;
    dialog.setText(prop::kFileName, chosen);
    return chosen;
}

int LevelDigitAfter(const Text& name, std::string_view utf8Prefix) {
    const Text prefix = Gbk(utf8Prefix);
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return 0;
    const char digit = name[prefix.size()];
    if (digit < '1' || digit > '0' + kLevelCount) return 0;
    return digit - '0';
}

}  // namespace ld::app
