// The window in which the organiser checks how task texts are displayed: a
// borderless window with the sample text and a "Закрыть" button. It is
// created once at program start, stays hidden between showings and keeps the
// last loaded text.
#pragma once

#include <QWidget>
#include <memory>

class QFrame;
class QPushButton;

namespace textview {
class RichView;
}
namespace Ui {
class TfrmTestRTF;
}

class TfrmTestRTF : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmTestRTF(QWidget* parent = nullptr);
  ~TfrmTestRTF() override;

  // Shows the window modally and returns when it has been closed ("Закрыть"
  // or the platform's close command). Does nothing while already shown.
  void ShowModal();
  void Button1Click();

  QFrame* Panel1 = nullptr;
  QPushButton* Button1 = nullptr;
  textview::RichView* RichEdit1 = nullptr;

 private:
  void centreOnScreen();

  std::unique_ptr<Ui::TfrmTestRTF> ui_;
};

extern TfrmTestRTF* frmTestRTF;
