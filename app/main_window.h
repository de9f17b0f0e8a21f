#pragma once

#include <QWidget>

#include <QElapsedTimer>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/jobs/background_question.h"
#include "core/operations.h"

class QAction;
class QLabel;
class QLineEdit;
class QTimer;
class ResultList;

// Names the application as the version record does: "brindaq" 1.00 by TORVASK.
void SetApplicationRecord();

// The one window of QUARVEL: three operand boxes, the result list, the operation buttons and
// EXIT, CLEAR and INFO. It binds each operation button to its row of the operation table and
// runs the frame of a click around it; it computes nothing itself. In the full range a click is
// worked out beside the window (BackgroundQuestion), which shows its lines as they come and its
// progress in the hint, and can be resized.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // Shows one notice to the user and returns when it has been read.
  using NoticeFunction = std::function<void(QWidget* parent, const QString& text)>;

  // The notice is a modal box with one OK button and the caption "brindaq".
  static void ShowNoticeBox(QWidget* parent, const QString& text);

  // `operations` binds the operation buttons; a button without a row does nothing when clicked.
  // Every button answers in `range`, which the title bar names.
  explicit MainWindow(NoticeFunction show_notice = &MainWindow::ShowNoticeBox,
                      std::span<const brindaq::OperationRow> operations = brindaq::kOperations,
                      brindaq::Range range = brindaq::Range::kWindow, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Whether a question is being worked out beside the window.
  bool busy() const { return question_ != nullptr; }

 signals:
  // A question worked out beside the window has shown its whole answer (or its stopped one).
  void answerEnded();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private slots:
  void exitProgram();
  void clearAll();
  void showInfo();
  void copySelectedLines();
  void copyAllLines();
  void updateCopyActions();
  void gatherAnswer();
  void stopQuestion();

 private:
  void runOperation(const brindaq::OperationRow& operation);
  void startQuestion(const brindaq::OperationRow& operation, brindaq::OperandTexts texts);
  void endQuestion();
  void dropQuestion();
  void showProgress();
  void restoreHint();
  void showLines(const QStringList& lines);
  void wrapLongLines();
  int wrapWidth() const;
  void addOperandLengths();
  void showOperandLength(int box);
  void clearResults();
  void appendLine(const QString& text);
  void returnToOperand(char letter);
  void addCopyActions();

  NoticeFunction show_notice_;
  brindaq::Range range_;
  ResultList* list_ = nullptr;
  std::array<QLineEdit*, 3> operand_boxes_{};  // A, B and C
  QAction* copy_action_ = nullptr;
  QAction* copy_all_action_ = nullptr;

  // The work of the full range.
  std::unique_ptr<brindaq::jobs::BackgroundQuestion> question_;
  class ListStore;
  std::shared_ptr<ListStore> store_;
  QStringList pending_;  // taken from the question and not yet shown
  QTimer* frame_timer_ = nullptr;
  QLabel* hint_ = nullptr;
  QString hint_text_;
  QElapsedTimer since_start_;
  qint64 progress_shown_at_ = -1;  // when the hint last showed the progress, -1 before it did
  qint64 progress_spoken_at_ = 0;
  bool wrapped_ = false;  // the list holds a line on several rows
  std::array<QLabel*, 3> operand_lengths_{};
  // Every control with its place in the window as drawn up, for a window that is resized.
  std::vector<std::pair<QWidget*, QRect>> places_;
};
