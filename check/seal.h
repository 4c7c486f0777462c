// Sealing a checked room for the road (quorvel-check --answers ... --seal
// RECIPIENTS --out DIR): one archive per station (its answer folders,
// journal and manifest, and its part of the report), a tar archive
// encrypted to the exam board's public keys with the external `age`, and a
// plain list of the archives with their sizes and SHA-256 beside them.
// Only the holder of a board's private key opens an archive; a changed
// byte makes `age` refuse it.
#pragma once

#include <QDateTime>
#include <QString>

#include "check/answers.h"

namespace check::answers::seal {

// The archive of a station: Answer_<key>.tar.age.
QString archiveName(const Station& s);
// The station's part of the report as it is named inside its archive.
QString reportName(const Station& s);
// The two lists written beside the archives.
inline constexpr char kListName[] = "archives.txt";       // name, size, SHA-256, station
inline constexpr char kSumsName[] = "archives.sha256";    // for sha256sum -c

// Why the room cannot be sealed to the recipients file with the `age`
// found (beside the program, then on PATH): no `age`, a file missing or
// unreadable, or holding no valid public key. Empty when it can. Writes
// nothing.
QString refuse(const QString& recipients);

// Seals every station into the folder out (made when missing): a station
// with faults too. An archive that could not be written carries its
// error; listError says why the lists could not be written.
Archives sealAll(const QList<Station>& stations, const QString& recipients, const QString& out, const QDateTime& made,
                 QString* listError);

}  // namespace check::answers::seal
