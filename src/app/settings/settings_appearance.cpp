#include "app/settings/settings_appearance.h"

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "services/files.h"
#include "services/host.h"

namespace ld::app {

namespace {

constexpr int kHiddenAttribute = 2;

void HideConfigFile() { SetFileAttribute(ConfigStore::path(), kHiddenAttribute); }

// The input box starts from the stored title, not from the text on screen.
bool AskForTitle(const ConfigKey& key, const char* utf8Prompt, Text& entered) {
    const Text prompt = Gbk(utf8Prompt);
    return host().dialogs->inputBox(prompt, prompt, ConfigStore::readText(key), entered, false);
}

struct FontTarget {
    const char* label;
    FontElement element;
    double heightFactor;  // the label's height is this many times its size in points
};

FontChoice ChoiceOf(Control& label) {
    const FontValue font = label.getFont(prop::kTransFont);
    FontChoice choice;
    choice.face = font.face;
    choice.points = font.sizePoints();
    choice.bold = font.bold;
    choice.italic = font.italic;
    choice.underline = font.underline;
    choice.strikeOut = font.strikeOut;
    choice.color = static_cast<uint32_t>(label.getInt(prop::kTextColor));
    return choice;
}

// The font dialog control carries the choice, as the font dialog of the panel always has.
void RecordChoice(Control& dialog, const FontChoice& choice) {
    dialog.setInt(prop::kFontColor, static_cast<int32_t>(choice.color));
    dialog.setBool(prop::kBold, choice.bold);
    dialog.setBool(prop::kItalic, choice.italic);
    dialog.setBool(prop::kUnderline, choice.underline);
    dialog.setBool(prop::kStrikeOut, choice.strikeOut);
    dialog.setText(prop::kFontName, choice.face);
    dialog.set(prop::kFontSize, Value{choice.points});
}

void ApplyChoice(Control& label, const FontChoice& choice) {
    FontValue font;
    font.face = choice.face;
    font.points = choice.points;
    font.bold = choice.bold;
    font.italic = choice.italic;
    font.underline = choice.underline;
    font.strikeOut = choice.strikeOut;
    label.set(prop::kTransFont, Value{font});
    label.setInt(prop::kTextColor, static_cast<int32_t>(choice.color));
}

// A cancelled dialog still stores the label's current font, which arms the group's gate.
void ChangeFont(const FontTarget& target) {
    Control& label = StageControl(target.label);
    FontChoice choice = ChoiceOf(label);
    if (host().dialogs->chooseFont(choice)) {
        RecordChoice(StageControl("通用对话框_字体设置"), choice);
        ApplyChoice(label, choice);
    }
    const FontValue font = label.getFont(prop::kTransFont);
    const double size = font.sizePoints();
    ConfigStore::writeGroup(keys::Font(target.element), {font.face, ToText(SaturateToInt32(size)),
                                                         ToText(label.getInt(prop::kTextColor))});
    label.setHeight(IntegerPartInt32(size * target.heightFactor));
}

}  // namespace

void ChangeMainTitle(Control&, EventArgs&) {
    Text entered;
    if (!AskForTitle(keys::MainTitle(), "请输入主标题", entered)) return;
    Control& holder = StageControl("编辑框1");
    holder.setTextValue(entered);
    ConfigStore::write(keys::MainTitle(), holder.text());
    HideConfigFile();
    // cjini.txt overrides the stored title at start-up, so it must hold the new one, whole:
    // nothing of a longer old title may be left behind. It is never created here.
    const Text titleFile = files::TitleOverride();
    if (FileExists(titleFile)) WriteWholeFile(titleFile, holder.text());
    StageControl("透明标签_主标题").setTextValue(holder.text());
}

void ChangeSubtitle(Control&, EventArgs&) {
    Text entered;
    if (!AskForTitle(keys::Subtitle(), "请输入副标题", entered)) return;
    StageControl("透明标签_副标题").setTextValue(entered);
    ConfigStore::write(keys::Subtitle(), entered);
    HideConfigFile();
}

void MainTitleFont(Control&, EventArgs&) {
    ChangeFont({"透明标签_主标题", FontElement::MainTitle, 1.8});
}
void SubtitleFont(Control&, EventArgs&) {
    ChangeFont({"透明标签_副标题", FontElement::Subtitle, 1.8});
}
void WinnerFont(Control&, EventArgs&) { ChangeFont({"透明标签_中奖人", FontElement::Winner, 1.8}); }
void ResultFont(Control&, EventArgs&) {
    ChangeFont({"透明标签_恭喜", FontElement::Congratulation, 2.0});
}

}  // namespace ld::app
