// The modal dialogs of the program: message boxes with the Windows button sets and answer
// codes, the input box, the file-open dialog, the font dialog with its text colour, the
// form of whole numbers and the list to choose from.
#pragma once

#include <QString>

#include "services/host.h"

class QMessageBox;
class QWidget;

namespace ld::qt {

class QtDialogs : public Dialogs {
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
    // In level_rules_dialog.cpp.
    bool levelRulesForm(const Text& caption, const Text& note,
                        std::vector<LevelRuleFields>& levels) override;
    // In progress_note.cpp.
    void showProgress(const Text& caption, const Text& text, int percent) override;
    void closeProgress() override;
};

// Builds the message box for a Windows style word (buttons, icon, default and escape
// buttons); the answer code of each button is kept in its "answer" property. Exposed for
// tests, which click the buttons.
QMessageBox* BuildMessageBox(const Text& message, int style, const Text& caption,
                             QWidget* owner = nullptr);
int AnswerOf(QMessageBox& box);
// The answer of a box closed without a button: its escape answer.
int AnswerOf(int style);
// The window dialogs are shown over: the active one, except that with the console open
// nothing goes up on the stage's screen.
QWidget* DialogOwner();

// "desc|pattern|desc|pattern" (patterns separated by ';') to Qt's "desc (patterns);;...".
QString ToQtFilter(const Text& filter);

}  // namespace ld::qt
