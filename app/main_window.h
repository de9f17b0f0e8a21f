#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <span>

#include "core/operations.h"

class QAction;
class QLineEdit;
class ResultList;

// Names the application as the version record does: "brindaq" 1.00 by TORVASK.
void SetApplicationRecord();

// The one window of QUARVEL: three operand boxes, the result list, the operation buttons and
// EXIT, CLEAR and INFO. It binds each operation button to its row of the operation table and
// runs the frame of a click around it; it computes nothing itself.
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

 private slots:
  void exitProgram();
  void clearAll();
  void showInfo();
  void copySelectedLines();
  void copyAllLines();
  void updateCopyActions();

 private:
  void runOperation(const brindaq::OperationRow& operation);
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
};
