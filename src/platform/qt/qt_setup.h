// One-time set-up of the Qt host: fonts, Qt's own translations, the flat control style.
#pragma once

#include <QString>

namespace ld::qt {

// Windows faces the templates and the configuration name (宋体, 幼圆, 隶书 ...) are drawn
// with installed CJK faces, and the default face is one that has every Chinese character.
void InstallFontSubstitutes();
// Qt's own dialog texts (the file dialog's buttons, say) in Chinese when installed.
void LoadQtTranslations();
// Flat style 1..3 for the standard controls of every window, present and later; 0 gives
// the ordinary style back.
void SetFlatControlStyle(int style);

}  // namespace ld::qt
