#include "stages/TestRTF.h"

TfrmTestRTF* frmTestRTF = nullptr;

TfrmTestRTF::TfrmTestRTF(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmTestRTF"));
  setWindowTitle(QStringLiteral("frmTestRTF"));
  resize(1015, 712);
}
