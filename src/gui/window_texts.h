#pragma once
#include <QString>
#include <QStringList>

class QWidget;

namespace molvane {

// What the open windows show, as text: one line per visible label, edit field, button and tab
// row, and one per tool tip, each "window title<TAB>control<TAB>text", the control named by its
// accessible name, else its object name, else its class. Line breaks inside a text become "\n".
// Tests outside the process read this where they cannot read the screen (the program under
// Wine); windows are listed in the order Qt keeps them.
QStringList WindowTexts(const QWidget& window);
QStringList OpenWindowTexts();

// Writes OpenWindowTexts() to the file, replacing it whole. False when it cannot be written.
bool WriteOpenWindowTexts(const QString& path);

}  // namespace molvane
