#include "gui/window_texts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSaveFile>
#include <QTabBar>
#include <QWidget>

namespace molvane {
namespace {

QString ControlName(const QWidget& control) {
  if (!control.accessibleName().isEmpty()) return control.accessibleName();
  if (!control.objectName().isEmpty()) return control.objectName();
  return control.metaObject()->className();
}

// The tab titles in order, the one in front marked with '*'.
QString TabTexts(const QTabBar& tabs) {
  QStringList titles;
  for (int i = 0; i < tabs.count(); ++i) {
    titles << tabs.tabText(i) + (i == tabs.currentIndex() ? "*" : "");
  }
  return titles.join(" | ");
}

bool ShownText(const QWidget& control, QString& text) {
  if (const auto* label = qobject_cast<const QLabel*>(&control)) {
    text = label->text();
  } else if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
    text = edit->text();
  } else if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
    text = button->text();
  } else if (const auto* tabs = qobject_cast<const QTabBar*>(&control)) {
    text = TabTexts(*tabs);
  } else {
    return false;
  }
  return true;
}

QString Line(const QWidget& window, const QString& control, QString text) {
  text.replace("\r", "").replace("\n", "\\n");
  return window.windowTitle() + '\t' + control + '\t' + text;
}

}  // namespace

QStringList WindowTexts(const QWidget& window) {
  QStringList lines{Line(window, "window", "")};
  for (const QWidget* control : window.findChildren<QWidget*>()) {
    if (!control->isVisibleTo(&window) || control->window() != &window) continue;
    QString text;
    if (ShownText(*control, text)) lines << Line(window, ControlName(*control), text);
    if (!control->toolTip().isEmpty()) {
      lines << Line(window, ControlName(*control) + " (tip)", control->toolTip());
    }
  }
  return lines;
}

QStringList OpenWindowTexts() {
  QStringList lines;
  for (const QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible()) lines << WindowTexts(*window);
  }
  return lines;
}

bool WriteOpenWindowTexts(const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write((OpenWindowTexts().join('\n') + '\n').toUtf8());
  return file.commit();
}

}  // namespace molvane
