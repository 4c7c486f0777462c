// The station's message boxes. Every box is modal: timers of the current
// stage keep ticking while one is open.
#pragma once

#include <QString>

class QWidget;

namespace dialogs {

// "ТАВРЭ - 2017 (устный экзамен)", the caption of the station's own boxes.
QString applicationTitle();

// The box for failures no stage catches: stop icon, application title, OK.
void showStopBox(const QString& text);
// A plain box: application title, no icon, one OK button.
void showMessage(const QString& text);
// The audio error box: caption "Error", no icon, one OK button, owned by owner.
void showErrorBox(QWidget* owner, const QString& text);
// The confirmation dialog: caption "Confirm", buttons "&Yes" and "&No", Yes
// the default. True only when Yes is chosen.
bool confirm(const QString& text);
// Closes every open confirmation dialog as if "&No" had been chosen: a
// question of a stage that has been left (its time ran out while the
// question was open) is no longer shown over the next stage.
void dismissQuestions();
// The box shown before any window exists: error icon, no owner, caption "Error".
void showFatalBox(const QString& text);

}  // namespace dialogs
