#include <QtGlobal>

// The pictures live in a static library: their registration must be pulled
// in explicitly by whoever starts the station.
static void initStationResources() { Q_INIT_RESOURCE(station); }

namespace station {
void initResources() { initStationResources(); }
}  // namespace station
