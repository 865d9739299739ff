// One-time set-up of the Qt host: fonts, Qt's own translations, the flat control style.
#pragma once

#include <QString>

namespace ld::qt {

// Windows faces the templates and the configuration name (宋体, 幼圆, 隶书 ...) are drawn
// with installed CJK faces, and the default face is one that has every Chinese character.
void InstallFontSubstitutes();
// Qt's own dialog texts (the file dialog's buttons, say) in Chinese when installed.
void LoadQtTranslations();
// The style sheet of flat style 1..3 (empty for 0).
QString FlatStyleSheet(int style);

}  // namespace ld::qt
