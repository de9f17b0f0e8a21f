#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSpacerItem>

#include <cstddef>
#include <string_view>

#include "controls.h"
#include "core/window.h"

namespace {

namespace window = brindaq::window;

QColor ToColor(window::Rgb rgb) {
  return {rgb.red, rgb.green, rgb.blue};
}

QString ToString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect FromTwips(window::Rect twips) {
  const window::Rect pixels = window::Pixels(twips);
  return {pixels.left, pixels.top, pixels.width, pixels.height};
}

// The theme's palette with the colours of one part of the window's design set over it: the
// background and its text, and for the boxes and the list also the selection.
QPalette DesignPalette(window::Colours colours, QPalette::ColorRole background,
                       QPalette::ColorRole text) {
  QPalette palette = ThemePalette();
  palette.setColor(background, ToColor(colours.background));
  palette.setColor(text, ToColor(colours.text));
  if (background == QPalette::Base) {
    palette.setColor(QPalette::Highlight, ToColor(window::kSelectionColours.background));
    palette.setColor(QPalette::HighlightedText, ToColor(window::kSelectionColours.text));
  }
  return palette;
}

// "MS Sans Serif" where it exists, else a face with the same metrics, else any sans-serif. The
// size is set in pixels, so that the layout does not move with the desktop's resolution.
QFont ScreenFont(window::TextFont font) {
  QStringList families;
  for (const std::string_view family : window::kFontFamilies) {
    families.append(ToString(family));
  }
  QFont result;
  result.setFamilies(families);
  result.setStyleHint(QFont::SansSerif);
  result.setPixelSize(window::FontPixels(font));
  result.setBold(font.bold);
  return result;
}

// The sieve icon, in every size that it was rendered in (data/icons/sizes.txt).
QIcon ApplicationIcon() {
  QIcon icon;
  for (const int size : {BRINDAQ_ICON_SIZES}) {
    icon.addFile(QStringLiteral(":/icons/brindaq-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

// The lines of an operation, made straight into the strings that the list takes.
class ListLines final : public brindaq::LineSink {
 public:
  void Reserve(std::size_t count) override {
    lines_.reserve(lines_.size() + static_cast<qsizetype>(count));
  }
  QStringList& lines() { return lines_; }

 private:
  void Take(std::string_view line) override {
    lines_.append(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
  }

  QStringList lines_;
};

}  // namespace

void SetApplicationRecord() {
  QApplication::setApplicationName(QStringLiteral("brindaq"));
  QApplication::setApplicationVersion(QStringLiteral(BRINDAQ_VERSION));
  QApplication::setOrganizationName(QStringLiteral("TORVASK"));
}

void MainWindow::ShowNoticeBox(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, ToString(window::kNoticeCaption), text, QMessageBox::Ok,
                  parent);
  // The box sizes itself to its text; an empty item across its grid keeps it wide enough for
  // its title too, which a window manager would otherwise shorten.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(NoticeTitleWidth(box.windowTitle()), 0, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  box.exec();
}

MainWindow::MainWindow(NoticeFunction show_notice,
                       std::span<const brindaq::OperationRow> operations, brindaq::Range range,
                       QWidget* parent)
    : QWidget(parent), show_notice_(std::move(show_notice)), range_(range) {
  setObjectName(ToString(window::kFormName));
  setWindowTitle(ToString(window::ChoiceOf(range).caption));
  setWindowIcon(ApplicationIcon());
  setAccessibleName(ToString(window::kProgramName));
  setFixedSize(window::kClientWidth / window::kTwipsPerPixel,
               window::kClientHeight / window::kTwipsPerPixel);
  setFont(ScreenFont(window::kDefaultFont));
  setPalette(DesignPalette(window::kFormColours, QPalette::Window, QPalette::WindowText));
  setAutoFillBackground(true);

  const QPalette label_palette =
      DesignPalette(window::kLabelColours, QPalette::Window, QPalette::WindowText);
  const QPalette box_palette = DesignPalette(window::kBoxColours, QPalette::Base, QPalette::Text);

  // Created in tab order, so that the focus chain follows the description.
  QWidget* previous = nullptr;
  for (const window::Control& control : window::kControls) {
    const QString text = ToString(control.text);
    QWidget* widget = nullptr;
    switch (control.kind) {
      case window::Kind::kLabel: {
        auto* label = new QLabel(text, this);
        label->setPalette(label_palette);
        label->setAutoFillBackground(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
        break;
      }
      case window::Kind::kList:
        list_ = new ResultList(this);
        list_->setPalette(box_palette);
        // The scroll bars are drawn as the theme draws them, like the buttons.
        list_->verticalScrollBar()->setPalette(ThemePalette());
        list_->horizontalScrollBar()->setPalette(ThemePalette());
        list_->setUniformItemSizes(true);
        list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        if (window::ScrollsSideways(range)) {
          list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
          list_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
          list_->setTextElideMode(Qt::ElideNone);
        }
        widget = list_;
        break;
      case window::Kind::kTextBox: {
        auto* box = new QLineEdit(this);
        box->setPalette(box_palette);
        operand_boxes_[window::OperandOf(control.name) - 'A'] = box;
        widget = box;
        break;
      }
      case window::Kind::kButton:
      case window::Kind::kOperationButton: {
        auto* button = new WrappingButton(this);
        button->setPalette(ThemePalette());
        button->setAutoDefault(false);
        button->setText(text);
        widget = button;
        break;
      }
    }
    widget->setObjectName(ToString(control.name));
    widget->setGeometry(FromTwips(control.twips));
    widget->setFont(ScreenFont(control.font));
    widget->setAccessibleName(text);
    auto* button = qobject_cast<QPushButton*>(widget);
    switch (window::ActionOf(control)) {
      case window::Action::kOperation:
        if (const brindaq::OperationRow* bound = window::OperationOf(control, operations)) {
          connect(button, &QPushButton::clicked, this, [this, bound] { runOperation(*bound); });
        }
        break;
      case window::Action::kExit:
        connect(button, &QPushButton::clicked, this, &MainWindow::exitProgram);
        break;
      case window::Action::kClear:
        connect(button, &QPushButton::clicked, this, &MainWindow::clearAll);
        break;
      case window::Action::kInfo:
        connect(button, &QPushButton::clicked, this, &MainWindow::showInfo);
        break;
      case window::Action::kNone:
        break;
    }
    if (previous != nullptr) {
      setTabOrder(previous, widget);
    }
    previous = widget;
  }

  for (const window::LabelFor& pair : window::kOperandLabels) {
    findChild<QLabel*>(ToString(pair.label))->setBuddy(findChild<QLineEdit*>(ToString(pair.box)));
  }

  addCopyActions();
}

void MainWindow::exitProgram() {
  close();
}

void MainWindow::clearAll() {
  clearResults();
  for (QLineEdit* box : operand_boxes_) {
    box->clear();
  }
}

void MainWindow::showInfo() {
  clearResults();
  for (const std::string_view line : window::kInfoLines) {
    appendLine(ToString(line));
  }
}

void MainWindow::runOperation(const brindaq::OperationRow& operation) {
  clearResults();
  const brindaq::OperandTexts texts{operand_boxes_[0]->text().toStdString(),
                                    operand_boxes_[1]->text().toStdString(),
                                    operand_boxes_[2]->text().toStdString()};
  ListLines lines;
  brindaq::Work work;
  const brindaq::Outcome outcome = brindaq::RunOperation(operation, texts, range_, lines, work);
  list_->addItems(lines.lines());
  if (window::ScrollsSideways(range_)) {
    list_->fitWidestLine();
  }
  updateCopyActions();
  if (outcome.notice) {
    show_notice_(this, QString::fromStdString(*outcome.notice));
    if (outcome.operand) {
      returnToOperand(*outcome.operand);
    }
  }
}

// Puts the keyboard back into the box that the notice was about, its text selected, so that
// the correction can be typed at once.
void MainWindow::returnToOperand(char letter) {
  QLineEdit* box = operand_boxes_[letter - 'A'];
  box->setFocus(Qt::OtherFocusReason);
  box->selectAll();
}

// Lines can be copied out of the list: the selected ones with any Copy key of the platform
// (Ctrl+C, Ctrl+Insert) or the context menu, or all of them, as plain text without their
// leading blanks.
void MainWindow::addCopyActions() {
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setContextMenuPolicy(Qt::ActionsContextMenu);
  copy_action_ = new QAction(ToString(window::kCopyAction), list_);
  copy_action_->setObjectName(QStringLiteral("copyAction"));
  copy_action_->setShortcuts(QKeySequence::Copy);
  copy_action_->setShortcutContext(Qt::WidgetShortcut);
  copy_all_action_ = new QAction(ToString(window::kCopyAllAction), list_);
  copy_all_action_->setObjectName(QStringLiteral("copyAllAction"));
  list_->addAction(copy_action_);
  list_->addAction(copy_all_action_);
  connect(copy_action_, &QAction::triggered, this, &MainWindow::copySelectedLines);
  connect(list_, &ResultList::copyRequested, this, &MainWindow::copySelectedLines);
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
  if (!window::CanCopy(static_cast<std::size_t>(items.size()))) {
    return;
  }
  std::sort(items.begin(), items.end(), [this](QListWidgetItem* left, QListWidgetItem* right) {
    return list_->row(left) < list_->row(right);
  });
  QApplication::clipboard()->setText(CopiedText(items));
}

void MainWindow::copyAllLines() {
  if (!window::CanCopy(static_cast<std::size_t>(list_->count()))) {
    return;
  }
  QList<QListWidgetItem*> items;
  for (int row = 0; row < list_->count(); ++row) {
    items.append(list_->item(row));
  }
  QApplication::clipboard()->setText(CopiedText(items));
}

void MainWindow::updateCopyActions() {
  copy_action_->setEnabled(
      window::CanCopy(static_cast<std::size_t>(list_->selectedItems().size())));
  copy_all_action_->setEnabled(window::CanCopy(static_cast<std::size_t>(list_->count())));
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
