// Stage 40: the participant may listen to each recorded answer, one button
// per answer file; "Завершить экзамен участника!" hands over to completion.
#pragma once

#include <QList>
#include <QString>
#include <memory>

#include "framework/stage.h"

class QLabel;
class QPushButton;
class QTimer;
class WordWrapButton;
namespace Ui {
class TfrmPlayAnswers;
}

class TfrmPlayAnswers : public StageFrame {
  Q_OBJECT
 public:
  explicit TfrmPlayAnswers(QWidget* owner);
  ~TfrmPlayAnswers() override;

  void Start();
  void btnPlayIDClick();
  void btnPlay1Click();
  void btnPlay2_1Click();
  void btnPlay2_2Click();
  void btnPlay2_3Click();
  void btnPlay2_4Click();
  void btnPlay2_5Click();
  void btnPlay3Click();
  void Button1Click();
  void Timer1Timer();

  // The stream the last play button opened (0 before the first, or when its
  // file could not be opened).
  audio::Handle ReviewStream() const { return playbackStream(); }

  QLabel* Label1 = nullptr;
  QPushButton* btnPlayID = nullptr;
  QPushButton* btnPlay1 = nullptr;
  QPushButton* btnPlay2_1 = nullptr;
  QPushButton* btnPlay2_2 = nullptr;
  QPushButton* btnPlay2_3 = nullptr;
  QPushButton* btnPlay2_4 = nullptr;
  QPushButton* btnPlay2_5 = nullptr;
  QPushButton* btnPlay3 = nullptr;
  WordWrapButton* Button1 = nullptr;
  QTimer* Timer1 = nullptr;
  // Beside each play button, in the buttons' order: the answer's length
  // ("1:02") as far as it decodes, or "нет записи" when its file is missing
  // or nothing of it decodes; "…" until the files have been decoded.
  QList<QLabel*> lengthLabels;
  // The lengths are on the labels.
  bool lengthsShown() const { return lengthsShown_; }

 private:
  // Stops the playback and plays the participant's answer file of button.
  void playAnswer(const QPushButton* button);
  // The play buttons with their files' suffixes, in order: the one map from
  // a button to its answer file.
  QList<QPair<QPushButton*, QString>> answers() const;

  static void showLengths(TfrmPlayAnswers* self, const QList<double>& seconds);

  std::unique_ptr<Ui::TfrmPlayAnswers> ui_;
  bool lengthsShown_ = false;
};
