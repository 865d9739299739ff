// A font dialog that also chooses the text colour, as the Windows one does (Qt's own
// dialog has no colour).
#pragma once

#include <QColor>
#include <QDialog>

#include "services/host.h"

class QFontComboBox;
class QSpinBox;
class QCheckBox;
class QPushButton;
class QLabel;

namespace ld::qt {

class FontColorDialog : public QDialog {
public:
    explicit FontColorDialog(const FontChoice& initial, QWidget* parent = nullptr);
    FontChoice choice() const;
    // Shows the dialog modally; on OK `font` takes the choice and the result is true.
    static bool choose(FontChoice& font);

    // For tests and the colour button.
    void setColor(const QColor& color);
    QColor color() const { return color_; }

private:
    void updatePreview();

    FontChoice initial_;
    QColor color_;
    bool familyChosen_ = false;
    QFontComboBox* family_;
    QSpinBox* size_;
    QCheckBox *bold_, *italic_, *underline_, *strikeOut_;
    QPushButton* colorButton_;
    QLabel* preview_;
};

}  // namespace ld::qt
