// The program's dialogs with the system's own: message boxes with the exact style bits the
// program asks for, the input box, the file dialogs and the font dialog with its colour;
// the small forms (numbers, a list, the 奖项规则 window).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "services/host.h"

namespace ld::win {

class WinDialogs : public Dialogs {
public:
    int showMessage(const Text& message, int style, const Text& caption) override;
    bool inputBox(const Text& prompt, const Text& caption, const Text& initial, Text& value,
                  bool masked) override;
    bool openFile(const Text& filter, Text& chosenPath) override;
    bool saveFile(const Text& filter, const Text& suggestedName, Text& chosenPath) override;
    bool chooseFont(FontChoice& font) override;
    bool numberForm(const Text& caption, const Text& unit, int min, int max,
                    std::vector<NumberField>& fields) override;
    std::optional<int> chooseFromList(const Text& caption, const Text& prompt,
                                      const std::vector<Text>& entries, int current) override;
    bool levelRulesForm(const Text& caption, const Text& note,
                        std::vector<LevelRuleFields>& levels) override;
    // In progress_note.cpp.
    void showProgress(const Text& caption, const Text& text, int percent) override;
    void closeProgress() override;
};

// The owner of a dialog: the active window when it is ours, else none.
HWND DialogOwner();
// "description|pattern|..." to the file dialogs' "description\0pattern\0...\0\0".
std::wstring ToDialogFilter(const Text& filter);
// The message box's answer (IDOK ...) as the program's (msg::kAnswer*).
int AnswerOf(int windowsAnswer);

}  // namespace ld::win
