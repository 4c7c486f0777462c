// The window in which the organiser checks how task texts are displayed.
#pragma once

#include <QWidget>

class TfrmTestRTF : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmTestRTF(QWidget* parent = nullptr);
};

extern TfrmTestRTF* frmTestRTF;
