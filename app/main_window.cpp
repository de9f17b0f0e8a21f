#include "main_window.h"

#include <QAccessibleWidget>
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
#include <QResizeEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QSpacerItem>
#include <QTimer>

#include <algorithm>
#include <cstddef>
#include <set>
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

// To a screen reader the hint is the window's status bar: what it says, its accessible name, is
// the progress of a long question every few seconds, then the end of the answer.
QAccessibleInterface* HintAsStatus(const QString& class_name, QObject* object) {
  if (class_name == QLatin1String("QLabel") &&
      object->objectName() == ToString(window::kHintLabel)) {
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::StatusBar);
  }
  return nullptr;
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

// At most so many lines are added to the list at once, and lines are added for at most so long
// before the window's events are handled again: most of a frame.
constexpr qsizetype kSliceLines = 8192;
constexpr qint64 kSliceMilliseconds = 12;

// A line shown on several rows keeps its whole text on its first row; the rows after it are
// marked, so that copying gives the line once, whole.
constexpr int kWholeLineRole = Qt::UserRole;
constexpr int kContinuationRole = Qt::UserRole + 1;

// The rows of a long line, each at most `width` pixels wide, the rows after the first indented.
QStringList WrappedRows(const QString& line, const QFontMetrics& metrics, int width) {
  const QString indent(static_cast<qsizetype>(window::kContinuationIndent), QLatin1Char(' '));
  const int indent_width = metrics.horizontalAdvance(indent);
  QStringList rows;
  qsizetype start = 0;
  while (start < line.size()) {
    const int room = std::max(width - (rows.isEmpty() ? 0 : indent_width), 1);
    int used = 0;
    qsizetype end = start;
    while (end < line.size()) {
      const int advance = metrics.horizontalAdvance(line[end]);
      if (end > start && used + advance > room) {
        break;
      }
      used += advance;
      ++end;
    }
    rows.append(rows.isEmpty() ? line.mid(start, end - start)
                               : indent + line.mid(start, end - start));
    start = end;
  }
  return rows;
}

}  // namespace

// The lines of a question worked out beside the window, made into the strings that the list takes
// on the worker's thread.
class MainWindow::ListStore final : public brindaq::jobs::LineStore {
 public:
  void Add(std::string_view line) override {
    lines.append(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
  }
  QStringList lines;
};

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
  static const bool status_installed = (QAccessible::installFactory(HintAsStatus), true);
  Q_UNUSED(status_installed);
  const QSize drawn_size(window::kClientWidth / window::kTwipsPerPixel,
                         window::kClientHeight / window::kTwipsPerPixel);
  if (range == brindaq::Range::kFull) {
    // Long answers want room: the full range's window may be made larger, and the list takes it.
    setMinimumSize(drawn_size);
    resize(drawn_size);
  } else {
    setFixedSize(drawn_size);
  }
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
    places_.emplace_back(widget, widget->geometry());
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

  if (range == brindaq::Range::kFull) {
    hint_ = findChild<QLabel*>(ToString(window::kHintLabel));
    // Its accessible interface was made with it, before it had its name: made again, as the
    // window's status.
    QAccessible::deleteAccessibleInterface(
        QAccessible::uniqueId(QAccessible::queryAccessibleInterface(hint_)));
    hint_text_ = hint_->text();
    frame_timer_ = new QTimer(this);
    frame_timer_->setInterval(window::kFrameMilliseconds);
    connect(frame_timer_, &QTimer::timeout, this, &MainWindow::gatherAnswer);
    auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    stop->setContext(Qt::WindowShortcut);
    connect(stop, &QShortcut::activated, this, &MainWindow::stopQuestion);
    addOperandLengths();
  }
}

void MainWindow::exitProgram() {
  dropQuestion();
  close();
}

void MainWindow::clearAll() {
  dropQuestion();
  clearResults();
  for (QLineEdit* box : operand_boxes_) {
    box->clear();
  }
}

void MainWindow::showInfo() {
  dropQuestion();
  clearResults();
  for (const std::string_view line : window::kInfoLines) {
    appendLine(ToString(line));
  }
}

void MainWindow::runOperation(const brindaq::OperationRow& operation) {
  dropQuestion();
  clearResults();
  brindaq::OperandTexts texts{operand_boxes_[0]->text().toStdString(),
                              operand_boxes_[1]->text().toStdString(),
                              operand_boxes_[2]->text().toStdString()};
  if (range_ == brindaq::Range::kFull) {
    startQuestion(operation, std::move(texts));
    return;
  }
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

// The question is worked out beside the window. One that ends at once is shown within the click,
// as in the window's range; a longer one shows its lines and progress once a frame until its end.
void MainWindow::startQuestion(const brindaq::OperationRow& operation,
                               brindaq::OperandTexts texts) {
  hint_->setAccessibleName(hint_text_);
  store_ = std::make_shared<ListStore>();
  question_ = std::make_unique<brindaq::jobs::BackgroundQuestion>(
      operation, std::move(texts), range_, store_,
      [this] { QMetaObject::invokeMethod(this, &MainWindow::gatherAnswer, Qt::QueuedConnection); });
  since_start_.start();
  progress_shown_at_ = -1;
  progress_spoken_at_ = 0;
  if (question_->WaitFor(std::chrono::milliseconds(window::kAtOnceMilliseconds))) {
    gatherAnswer();
    return;
  }
  frame_timer_->start();
}

// Once a frame, and at the end: the lines made since, and where the work stands. Many lines
// at once are shown a slice at a time, with the window's events between the slices.
void MainWindow::gatherAnswer() {
  if (!question_) {
    return;
  }
  const bool ended = question_->Ended();
  question_->TakeLines([this] {
    if (pending_.isEmpty()) {
      pending_.swap(store_->lines);
    } else {
      pending_.append(std::move(store_->lines));
      store_->lines.clear();
    }
  });
  QElapsedTimer slice_time;
  slice_time.start();
  qsizetype shown = 0;
  while (shown < pending_.size() && slice_time.elapsed() < kSliceMilliseconds) {
    const qsizetype count = std::min(kSliceLines, pending_.size() - shown);
    showLines(pending_.sliced(shown, count));
    shown += count;
  }
  pending_.remove(0, shown);
  if (!pending_.isEmpty()) {
    QTimer::singleShot(0, this, &MainWindow::gatherAnswer);
  } else if (ended) {
    endQuestion();
    return;
  }
  showProgress();
}

void MainWindow::showLines(const QStringList& lines) {
  const int first_row = list_->count();
  const auto wraps = [this](const QString& line) {
    return window::Wraps(range_, static_cast<std::size_t>(line.size()));
  };
  QStringList rows;
  // The rows of long lines, by their place in `rows`: the whole line of a first row, or none for
  // the rows after it.
  std::vector<std::pair<qsizetype, QString>> marked;
  if (std::any_of(lines.begin(), lines.end(), wraps)) {
    const QFontMetrics metrics(list_->font());
    for (const QString& line : lines) {
      if (!wraps(line)) {
        rows.append(line);
        continue;
      }
      const QStringList wrapped = WrappedRows(line, metrics, wrapWidth());
      marked.emplace_back(rows.size(), line);
      for (qsizetype part = 1; part < wrapped.size(); ++part) {
        marked.emplace_back(rows.size() + part, QString());
      }
      rows.append(wrapped);
    }
  }
  if (marked.empty()) {
    list_->addItems(lines);
  } else {
    list_->addItems(rows);
  }
  for (const auto& [row, whole] : marked) {
    QListWidgetItem* item = list_->item(first_row + static_cast<int>(row));
    if (whole.isNull()) {
      item->setData(kContinuationRole, true);
    } else {
      item->setData(kWholeLineRole, whole);
    }
  }
  wrapped_ = wrapped_ || !marked.empty();
  list_->fitWidestLine(first_row);
  updateCopyActions();
}

// The room of a row of a long line: the list's inside, less a vertical scroll bar that the
// answer may yet need.
int MainWindow::wrapWidth() const {
  const QStyle* style = list_->style();
  const int margins = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1);
  return list_->width() - 2 * list_->frameWidth() -
         style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_) - margins;
}

// A resized list shows its long lines again on rows as wide as it is now.
void MainWindow::wrapLongLines() {
  if (!wrapped_) {
    return;
  }
  QStringList lines;
  lines.reserve(list_->count());
  for (int row = 0; row < list_->count(); ++row) {
    const QListWidgetItem* item = list_->item(row);
    if (item->data(kContinuationRole).toBool()) {
      continue;
    }
    const QVariant whole = item->data(kWholeLineRole);
    lines.append(whole.isValid() ? whole.toString() : item->text());
  }
  list_->clear();
  wrapped_ = false;
  showLines(lines);
}

void MainWindow::showProgress() {
  const qint64 taken = since_start_.elapsed();
  if (taken < window::kFirstProgressMilliseconds ||
      (progress_shown_at_ >= 0 && taken - progress_shown_at_ < window::kProgressMilliseconds)) {
    return;
  }
  progress_shown_at_ = taken;
  const std::optional<std::string> progress = question_->ProgressNow();
  const QString text = progress ? QString::fromStdString(*progress)
                                : QString::fromStdString(brindaq::ProgressText(
                                      {window::kWorkingProgress, {}, 0, 0}, question_->Taken()));
  hint_->setText(text);
  if (taken - progress_spoken_at_ >= window::kSpokenProgressMilliseconds) {
    progress_spoken_at_ = taken;
    hint_->setAccessibleName(text);
  }
}

void MainWindow::restoreHint() {
  frame_timer_->stop();
  hint_->setText(hint_text_);
}

void MainWindow::endQuestion() {
  const bool at_once = !frame_timer_->isActive();
  const brindaq::Outcome outcome = question_->TakeOutcome();
  question_.reset();
  restoreHint();
  if (!at_once) {
    hint_->setAccessibleName(ToString(window::kAnswerEndedStatus));
  }
  updateCopyActions();
  emit answerEnded();
  if (outcome.notice) {
    show_notice_(this, QString::fromStdString(*outcome.notice));
    if (outcome.operand) {
      returnToOperand(*outcome.operand);
    }
  }
}

// Esc: the work stops, and its answer ends with what it has established and the stopped line.
void MainWindow::stopQuestion() {
  if (question_) {
    question_->Stop();
  }
}

// The question is stopped and its answer left unshown, before CLEAR, INFO, EXIT or another
// operation.
void MainWindow::dropQuestion() {
  if (!question_) {
    return;
  }
  question_.reset();
  pending_.clear();
  restoreHint();
}

// A larger window gives its room to the list: what stands right of the list moves right, what
// stands below it moves down, and the hint above it grows with it.
void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (range_ != brindaq::Range::kFull || places_.empty()) {
    return;
  }
  const QRect list = FromTwips(window::kControls[1].twips);
  const int wider = width() - window::kClientWidth / window::kTwipsPerPixel;
  const int taller = height() - window::kClientHeight / window::kTwipsPerPixel;
  const int old_width = list_->width();
  for (const auto& [widget, place] : places_) {
    QRect moved = place;
    if (widget == list_) {
      moved.adjust(0, 0, wider, taller);
    } else if (widget == hint_) {
      moved.adjust(0, 0, wider, 0);
    } else {
      if (place.left() >= list.right()) {
        moved.translate(wider, 0);
      }
      if (place.top() >= list.bottom()) {
        moved.translate(0, taller);
      }
    }
    widget->setGeometry(moved);
  }
  if (list_->width() != old_width) {
    wrapLongLines();
  }
}

// Under each operand box, the length of an operand too long for it.
void MainWindow::addOperandLengths() {
  const QPalette palette =
      DesignPalette(window::kLabelColours, QPalette::Window, QPalette::WindowText);
  for (int box = 0; box < 3; ++box) {
    QLineEdit* edit = operand_boxes_[static_cast<std::size_t>(box)];
    auto* label = new QLabel(this);
    label->setObjectName(edit->objectName() + QStringLiteral("Length"));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
    label->setFont(ScreenFont(window::kDefaultFont));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QRect place = edit->geometry();
    label->setGeometry(place.left(), place.bottom() + 1, place.width(),
                       window::FontPixels(window::kDefaultFont) + 3);
    label->hide();
    places_.emplace_back(label, label->geometry());
    operand_lengths_[static_cast<std::size_t>(box)] = label;
    connect(edit, &QLineEdit::textChanged, this, [this, box] { showOperandLength(box); });
  }
}

void MainWindow::showOperandLength(int box) {
  QLineEdit* edit = operand_boxes_[static_cast<std::size_t>(box)];
  QLabel* label = operand_lengths_[static_cast<std::size_t>(box)];
  const QString text = edit->text();
  const int room = edit->contentsRect().width() - 8;
  if (edit->fontMetrics().horizontalAdvance(text) <= room) {
    label->hide();
    return;
  }
  label->setText(QString::number(text.size()) + ToString(window::kOperandLengthUnit));
  label->show();
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

// The lines as the core copies them, so that the clipboard and the command line agree. A line
// shown on several rows is copied once, whole, if any of its rows is among `items`, which are in
// the list's order.
QString CopiedText(const QListWidget& list, const QList<QListWidgetItem*>& items) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(items.size()));
  int last_first_row = -1;
  for (const QListWidgetItem* item : items) {
    int first_row = list.row(item);
    while (first_row > 0 && list.item(first_row)->data(kContinuationRole).toBool()) {
      --first_row;
    }
    if (first_row == last_first_row) {
      continue;
    }
    last_first_row = first_row;
    const QListWidgetItem* first = list.item(first_row);
    const QVariant whole = first->data(kWholeLineRole);
    lines.push_back((whole.isValid() ? whole.toString() : first->text()).toStdString());
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
  QApplication::clipboard()->setText(CopiedText(*list_, items));
}

void MainWindow::copyAllLines() {
  if (!window::CanCopy(static_cast<std::size_t>(list_->count()))) {
    return;
  }
  QList<QListWidgetItem*> items;
  for (int row = 0; row < list_->count(); ++row) {
    items.append(list_->item(row));
  }
  QApplication::clipboard()->setText(CopiedText(*list_, items));
}

void MainWindow::updateCopyActions() {
  copy_action_->setEnabled(
      window::CanCopy(static_cast<std::size_t>(list_->selectedItems().size())));
  copy_all_action_->setEnabled(window::CanCopy(static_cast<std::size_t>(list_->count())));
}

MainWindow::~MainWindow() {
  question_.reset();
  // The list outlives this part of the window; it must not call back into it.
  list_->disconnect(this);
}

void MainWindow::clearResults() {
  list_->clear();
  wrapped_ = false;
  updateCopyActions();
}

void MainWindow::appendLine(const QString& text) {
  list_->addItem(text);
  updateCopyActions();
}
