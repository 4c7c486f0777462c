#include <QFont>
#include <QtGlobal>

#include "toolkit/deliverable.h"
#include "textview/richview.h"

// The pictures live in a static library: their registration must be pulled
// in explicitly by whoever starts the station.
static void initStationResources() { Q_INIT_RESOURCE(station); }

namespace station {
void initResources() {
  initStationResources();
  // quorvel-flat gives every text view its scroll bars; in quorvel each view
  // has what its layout says.
  textview::RichView::setScrollBarsEverywhere(deliverable().scrollBarsEverywhere);
  // The layouts name the fonts of the exam rooms' Windows PCs; Liberation
  // Sans has Arial's metrics and stands in for both.
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}
}  // namespace station
