#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <cmath>

namespace {

// Every position of the window is drawn up in twips: 15 twips to a pixel at 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

constexpr brindaq::CaptionFont kBold13_5{13.5, true};
constexpr brindaq::CaptionFont kRegular9_75{9.75, false};
constexpr brindaq::CaptionFont kRegular12{12.0, false};
constexpr brindaq::CaptionFont kBold18{18.0, true};

enum class Kind { kLabel, kList, kTextBox, kButton, kOperationButton };

struct Control {
  const char* name;
  Kind kind;
  const char* text;              // operation buttons take caption and font from the operation table
  int left, top, width, height;  // twips, relative to the client area
  brindaq::CaptionFont font;
};

// The controls in tab order.
constexpr Control kControls[] = {
    {"Label1", Kind::kLabel, "QUARVEL BY TORVASK", 120, 120, 4815, 735, kBold13_5},
    {"List1", Kind::kList, "Results", 120, 1320, 5175, 2940, kBold13_5},
    {"Text1", Kind::kTextBox, "A =", 6240, 1080, 1695, 615, kBold13_5},
    {"Text2", Kind::kTextBox, "B =", 6240, 1920, 1695, 615, kBold13_5},
    {"Text3", Kind::kTextBox, "C =", 6240, 2760, 1695, 615, kBold13_5},
    {"Label2", Kind::kLabel, "A =", 5640, 1200, 495, 375, kBold13_5},
    {"Label3", Kind::kLabel, "B =", 5640, 2040, 495, 375, kBold13_5},
    {"Label4", Kind::kLabel, "C =", 5640, 2880, 495, 375, kBold13_5},
    {"Command1", Kind::kButton, "EXIT", 6240, 240, 1695, 615, kBold13_5},
    {"Command2", Kind::kButton, "CLEAR", 6240, 3600, 1695, 615, kBold13_5},
    {"Command3", Kind::kOperationButton, nullptr, 120, 4440, 1695, 615, {}},
    {"Command4", Kind::kOperationButton, nullptr, 2160, 4440, 1695, 615, {}},
    {"Command5", Kind::kOperationButton, nullptr, 4200, 4440, 1695, 615, {}},
    {"Label5", Kind::kLabel, "For large numbers, wait for the end of calculation !", 120, 960, 4455,
     255, kRegular9_75},
    {"Command6", Kind::kOperationButton, nullptr, 6240, 4440, 1695, 615, {}},
    {"Command7", Kind::kOperationButton, nullptr, 120, 5280, 1695, 615, {}},
    {"Command8", Kind::kOperationButton, nullptr, 2160, 5280, 1695, 615, {}},
    {"Command9", Kind::kOperationButton, nullptr, 4200, 5280, 1695, 615, {}},
    {"Command10", Kind::kOperationButton, nullptr, 6240, 5280, 1695, 615, {}},
    {"Command11", Kind::kOperationButton, nullptr, 120, 6120, 1695, 615, {}},
    {"Command12", Kind::kOperationButton, nullptr, 2160, 6120, 1695, 615, {}},
    {"Command13", Kind::kOperationButton, nullptr, 4200, 6120, 1695, 615, {}},
    {"Command14", Kind::kOperationButton, nullptr, 6240, 6120, 1695, 615, {}},
    {"Command15", Kind::kOperationButton, nullptr, 120, 6960, 1695, 615, {}},
    {"Command16", Kind::kOperationButton, nullptr, 2160, 6960, 1695, 615, {}},
    {"Command17", Kind::kOperationButton, nullptr, 4200, 6960, 1695, 615, {}},
    {"Command18", Kind::kButton, "INFO", 6240, 6960, 1695, 615, kBold18},
    {"Label6", Kind::kLabel, "MORE FREE MATHS PROGRAMS TO DOWNLOAD: EXAMPLE.ORG", 120, 7800, 7815,
     615, kRegular12},
};

constexpr int kClientWidth = 8280;
constexpr int kClientHeight = 8520;

const char* const kInfoLines[] = {"TORVASK", "e-mail  torvask@example.org", "QUARVEL",
                                  "UPDATED VERSION", "13th APRIL 2009"};

QColor DarkGreen() {
  return {0, 64, 0};
}
QColor LightGreen() {
  return {192, 255, 192};
}

QRect FromTwips(const Control& control) {
  return {control.left / kTwipsPerPixel, control.top / kTwipsPerPixel,
          control.width / kTwipsPerPixel, control.height / kTwipsPerPixel};
}

// "MS Sans Serif" where it exists, else a face with the same metrics, else any sans-serif. The
// size is set in pixels, so that the layout does not move with the desktop's resolution.
QFont ScreenFont(brindaq::CaptionFont font) {
  QFont result;
  result.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial"});
  result.setStyleHint(QFont::SansSerif);
  result.setPixelSize(static_cast<int>(std::lround(font.points * 96 / 72)));
  result.setBold(font.bold);
  return result;
}

// The sieve icon, in every size that it was rendered in.
QIcon ApplicationIcon() {
  QIcon icon;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/brindaq-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

const brindaq::OperationButton* FindOperation(std::span<const brindaq::OperationButton> table,
                                              QLatin1StringView name) {
  const auto row = std::find_if(table.begin(), table.end(), [name](const auto& operation) {
    return QLatin1StringView(operation.name.data(), operation.name.size()) == name;
  });
  return row == table.end() ? nullptr : &*row;
}

// A push button whose caption wraps at word boundaries inside the button, so that long captions
// keep every word visible while text() stays the caption itself.
class WrappingButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(contents, Qt::AlignCenter | Qt::TextWordWrap, text());
  }
};

}  // namespace

void SetApplicationRecord() {
  QApplication::setApplicationName(QStringLiteral("brindaq"));
  QApplication::setApplicationVersion(QStringLiteral("1.00"));
  QApplication::setOrganizationName(QStringLiteral("TORVASK"));
}

void MainWindow::ShowNoticeBox(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("brindaq"), text, QMessageBox::Ok, parent);
  box.exec();
}

MainWindow::MainWindow(NoticeFunction show_notice,
                       std::span<const brindaq::OperationButton> operations, QWidget* parent)
    : QWidget(parent), show_notice_(std::move(show_notice)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral(" QUARVEL"));
  setWindowIcon(ApplicationIcon());
  setAccessibleName(QStringLiteral("QUARVEL"));
  setFixedSize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);
  setFont(ScreenFont(brindaq::kDefaultCaptionFont));
  QPalette window_palette = QApplication::palette();
  window_palette.setColor(QPalette::Window, DarkGreen());
  setPalette(window_palette);
  setAutoFillBackground(true);

  QPalette label_palette = QApplication::palette();
  label_palette.setColor(QPalette::Window, DarkGreen());
  label_palette.setColor(QPalette::WindowText, Qt::white);
  QPalette box_palette = QApplication::palette();
  box_palette.setColor(QPalette::Base, LightGreen());

  // Created in tab order, so that the focus chain follows the table.
  QWidget* previous = nullptr;
  for (const Control& control : kControls) {
    const QLatin1StringView name(control.name);
    QWidget* widget = nullptr;
    switch (control.kind) {
      case Kind::kLabel: {
        auto* label = new QLabel(QString::fromLatin1(control.text), this);
        label->setPalette(label_palette);
        label->setAutoFillBackground(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
        break;
      }
      case Kind::kList:
        list_ = new QListWidget(this);
        list_->setPalette(box_palette);
        list_->setUniformItemSizes(true);
        list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        widget = list_;
        break;
      case Kind::kTextBox: {
        auto* box = new QLineEdit(this);
        box->setPalette(box_palette);
        (name == QLatin1StringView("Text1")   ? operand_a_
         : name == QLatin1StringView("Text2") ? operand_b_
                                              : operand_c_) = box;
        widget = box;
        break;
      }
      case Kind::kButton:
      case Kind::kOperationButton: {
        auto* button = new WrappingButton(this);
        button->setPalette(QApplication::palette());
        button->setAutoDefault(false);
        widget = button;
        break;
      }
    }
    widget->setObjectName(name);
    widget->setGeometry(FromTwips(control));
    auto* button = qobject_cast<QPushButton*>(widget);
    if (control.kind == Kind::kOperationButton) {
      const brindaq::OperationButton* row = FindOperation(brindaq::kOperationButtons, name);
      button->setText(QString::fromUtf8(row->caption.data(), row->caption.size()));
      button->setFont(ScreenFont(row->font));
      if (const brindaq::OperationButton* bound = FindOperation(operations, name);
          bound != nullptr && bound->run != nullptr) {
        connect(button, &QPushButton::clicked, this, [this, bound] { runOperation(*bound); });
      }
    } else {
      if (button != nullptr) {
        button->setText(QString::fromLatin1(control.text));
      }
      widget->setFont(ScreenFont(control.font));
    }
    widget->setAccessibleName(button != nullptr ? button->text()
                                                : QString::fromLatin1(control.text));
    if (previous != nullptr) {
      setTabOrder(previous, widget);
    }
    previous = widget;
  }

  // Each "A =", "B =", "C =" label names the box beside it.
  findChild<QLabel*>(QStringLiteral("Label2"))->setBuddy(operand_a_);
  findChild<QLabel*>(QStringLiteral("Label3"))->setBuddy(operand_b_);
  findChild<QLabel*>(QStringLiteral("Label4"))->setBuddy(operand_c_);

  addCopyActions();

  connect(findChild<QPushButton*>(QStringLiteral("Command1")), &QPushButton::clicked, this,
          &MainWindow::exitProgram);
  connect(findChild<QPushButton*>(QStringLiteral("Command2")), &QPushButton::clicked, this,
          &MainWindow::clearAll);
  connect(findChild<QPushButton*>(QStringLiteral("Command18")), &QPushButton::clicked, this,
          &MainWindow::showInfo);
}

void MainWindow::exitProgram() {
  close();
}

void MainWindow::clearAll() {
  clearResults();
  operand_a_->clear();
  operand_b_->clear();
  operand_c_->clear();
}

void MainWindow::showInfo() {
  clearResults();
  for (const char* line : kInfoLines) {
    appendLine(QString::fromLatin1(line));
  }
}

void MainWindow::runOperation(const brindaq::OperationButton& operation) {
  clearResults();
  const brindaq::OperandTexts texts{operand_a_->text().toStdString(),
                                    operand_b_->text().toStdString(),
                                    operand_c_->text().toStdString()};
  const brindaq::Outcome outcome = operation.run(texts);
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(outcome.lines.size()));
  for (const std::string& line : outcome.lines) {
    lines.append(QString::fromStdString(line));
  }
  list_->addItems(lines);
  updateCopyActions();
  if (outcome.notice) {
    show_notice_(this, QString::fromStdString(*outcome.notice));
    if (const auto letter = brindaq::NoticeOperand(operation, texts, *outcome.notice)) {
      returnToOperand(*letter);
    }
  }
}

// Puts the keyboard back into the box that the notice was about, its text selected, so that
// the correction can be typed at once.
void MainWindow::returnToOperand(char letter) {
  QLineEdit* box = letter == 'A' ? operand_a_ : letter == 'B' ? operand_b_ : operand_c_;
  box->setFocus(Qt::OtherFocusReason);
  box->selectAll();
}

// Lines can be copied out of the list: the selected ones with Ctrl+C or the context menu, or
// all of them, as plain text without their leading blanks.
void MainWindow::addCopyActions() {
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setContextMenuPolicy(Qt::ActionsContextMenu);
  copy_action_ = new QAction(tr("Copy"), list_);
  copy_action_->setObjectName(QStringLiteral("copyAction"));
  copy_action_->setShortcut(QKeySequence::Copy);
  copy_action_->setShortcutContext(Qt::WidgetShortcut);
  copy_all_action_ = new QAction(tr("Copy All"), list_);
  copy_all_action_->setObjectName(QStringLiteral("copyAllAction"));
  list_->addAction(copy_action_);
  list_->addAction(copy_all_action_);
  connect(copy_action_, &QAction::triggered, this, &MainWindow::copySelectedLines);
  connect(copy_all_action_, &QAction::triggered, this, &MainWindow::copyAllLines);
  connect(list_, &QListWidget::itemSelectionChanged, this, &MainWindow::updateCopyActions);
  updateCopyActions();
}

namespace {

// The lines as the core copies them, so that the clipboard and the command line agree.
QString CopiedText(const QList<QListWidgetItem*>& items) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(items.size()));
  for (const QListWidgetItem* item : items) {
    lines.push_back(item->text().toStdString());
  }
  return QString::fromStdString(brindaq::CopiedText(lines));
}

}  // namespace

void MainWindow::copySelectedLines() {
  QList<QListWidgetItem*> items = list_->selectedItems();
  if (items.isEmpty()) {
    return;
  }
  std::sort(items.begin(), items.end(), [this](QListWidgetItem* left, QListWidgetItem* right) {
    return list_->row(left) < list_->row(right);
  });
  QApplication::clipboard()->setText(CopiedText(items));
}

void MainWindow::copyAllLines() {
  if (list_->count() == 0) {
    return;
  }
  QList<QListWidgetItem*> items;
  for (int row = 0; row < list_->count(); ++row) {
    items.append(list_->item(row));
  }
  QApplication::clipboard()->setText(CopiedText(items));
}

void MainWindow::updateCopyActions() {
  copy_action_->setEnabled(!list_->selectedItems().isEmpty());
  copy_all_action_->setEnabled(list_->count() > 0);
}

MainWindow::~MainWindow() {
  // The list outlives this part of the window; it must not call back into it.
  list_->disconnect(this);
}

void MainWindow::clearResults() {
  list_->clear();
  updateCopyActions();
}

void MainWindow::appendLine(const QString& text) {
  list_->addItem(text);
  updateCopyActions();
}
