#pragma once

// What the window tests share: the window's parts by name, clicks, notices caught instead of
// a modal box, contrast, and the palettes of the themes the window is tried under.

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QStringList>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "main_window.h"

namespace window_test {

// The notices a window showed, caught instead of a modal box.
struct NoticeLog {
  QStringList notices;
  MainWindow::NoticeFunction function() {
    return [this](QWidget*, const QString& text) { notices.append(text); };
  }
};

inline QStringList ListLines(const MainWindow& window) {
  const auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
  QStringList lines;
  for (int row = 0; row < list->count(); ++row) {
    lines.append(list->item(row)->text());
  }
  return lines;
}

inline void SetOperands(MainWindow& window, const QString& a, const QString& b, const QString& c) {
  window.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(a);
  window.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(b);
  window.findChild<QLineEdit*>(QStringLiteral("Text3"))->setText(c);
}

inline void Click(MainWindow& window, const QString& button) {
  auto* target = window.findChild<QPushButton*>(button);
  QVERIFY2(target != nullptr, qPrintable(button));
  QTest::mouseClick(target, Qt::LeftButton);
}

// Waits for the end of an answer worked out beside the window (the full range's).
inline void WaitForAnswer(const MainWindow& window) {
  QTRY_VERIFY_WITH_TIMEOUT(!window.busy(), 60000);
}

inline const QColor kDarkGreen(0, 64, 0);
inline const QColor kLightGreen(192, 255, 192);

inline QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The contrast ratio of two colours, from 1 to 21, as the accessibility guidelines define it.
inline double ContrastRatio(const QColor& first, const QColor& second) {
  const auto luminance = [](const QColor& colour) {
    const auto linear = [](double channel) {
      return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
  };
  const double lighter = std::max(luminance(first), luminance(second));
  const double darker = std::min(luminance(first), luminance(second));
  return (lighter + 0.05) / (darker + 0.05);
}

// What a dark desktop theme gives the application: dark backgrounds, near-white text.
inline QPalette DarkThemePalette() {
  QPalette palette;
  for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
    palette.setColor(role, QColor(36, 36, 36));
  }
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                          QPalette::PlaceholderText, QPalette::HighlightedText}) {
    palette.setColor(role, Qt::white);
  }
  palette.setColor(QPalette::Highlight, QColor(53, 132, 228));
  return palette;
}

// What a high-contrast desktop theme gives: white on black, the selection black on cyan.
inline QPalette HighContrastPalette() {
  QPalette palette{QColor(Qt::black)};
  palette.setColor(QPalette::Base, Qt::black);
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    palette.setColor(role, Qt::white);
  }
  palette.setColor(QPalette::Highlight, QColor(26, 235, 255));
  palette.setColor(QPalette::HighlightedText, Qt::black);
  return palette;
}

// The application's palette for the life of a test, then the one before it.
class ThemeScope {
 public:
  explicit ThemeScope(const QPalette& theme) : before_(QApplication::palette()) {
    QApplication::setPalette(theme);
  }
  ThemeScope(const ThemeScope&) = delete;
  ThemeScope& operator=(const ThemeScope&) = delete;
  ~ThemeScope() { QApplication::setPalette(before_); }

 private:
  QPalette before_;
};

}  // namespace window_test
