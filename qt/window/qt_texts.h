// Qt's own texts in the window's language.
#pragma once

class QCoreApplication;

namespace zorbalin::window {

// The window is Chinese whatever the locale, and so are Qt's own texts in it (the editors'
// menus, the file dialog, the boxes' buttons): Qt's Simplified Chinese translations are
// installed for the application. False when they are not on the system, and the texts stay
// English.
bool installChineseQtTexts(QCoreApplication& application);

}  // namespace zorbalin::window
