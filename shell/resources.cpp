#include <QFont>
#include <QtGlobal>

// The pictures live in a static library: their registration must be pulled
// in explicitly by whoever starts the station.
static void initStationResources() { Q_INIT_RESOURCE(station); }

namespace station {
void initResources() {
  initStationResources();
  // The layouts name the fonts of the exam rooms' Windows PCs; Liberation
  // Sans has Arial's metrics and stands in for both.
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}
}  // namespace station
