#include "stages/FiveSec.h"

#include "shell/main.h"

T_FiveSec* _FiveSec = nullptr;

T_FiveSec::T_FiveSec(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("_FiveSec"));
  resize(342, 223);
  FormCreate();
}

void T_FiveSec::FormCreate() {
  // Lies exactly over the main window when shown.
  if (frmMain) setGeometry(frmMain->geometry());
}
