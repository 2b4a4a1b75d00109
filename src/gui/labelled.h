#pragma once
#include <QString>

class QBoxLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace molvane {

// Ties a label to the control it names: the label's mnemonic moves the focus there, and the
// control carries the label's words as its accessible name, so screen readers and tests that
// drive the window find the control by what the operator reads.
void LabelFor(QLabel* label, QWidget* control);

// A label and the edit field it names, added to `row`; the field is returned.
QLineEdit* AddLabelledEdit(QBoxLayout* row, const QString& labelText, const char* name,
                           QWidget* parent);

// The accessible name a label's text gives: without mnemonic marks and a trailing colon.
QString AccessibleNameFor(const QString& labelText);

}  // namespace molvane
