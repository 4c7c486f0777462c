// The countdown window shown modally before timed stages.
#pragma once

#include <QWidget>

class T_FiveSec : public QWidget {
  Q_OBJECT
 public:
  explicit T_FiveSec(QWidget* parent = nullptr);
  void FormCreate();
};

extern T_FiveSec* _FiveSec;
