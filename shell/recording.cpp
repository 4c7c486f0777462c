// The answer recorder: StartRecording / StopRecording of the main window.
#include "audio/audio.h"
#include "shell/main.h"

namespace {

bool RecordProc(audio::Handle handle, const void*, std::uint32_t, void*) {
  return audio::encodeIsActive(handle) != audio::Stopped;
}

}  // namespace

void TfrmMain::StartRecording(const QString& file) {
  if (RecordedStream != 0) {
    audio::streamFree(RecordedStream);
    RecordedStream = 0;
  }
  RecordChannel = audio::recordStart(44100, 2, audio::kRecordPause, &RecordProc, nullptr);
  if (RecordChannel == 0) {
    ShowError(QStringLiteral("Couldn't start recording"));
    return;
  }
  if (audio::encodeStart(RecordChannel, {QStringLiteral("oggenc"), QStringLiteral("-o"), file, QStringLiteral("-")},
                         audio::kEncodeAutoFree) == 0) {
    ShowError(QStringLiteral(
        "Couldn't start encoding...\nMake sure OGGENC.EXE (if encoding to OGG) is in the same\n"
        "direcory as this RECTEST, or LAME.EXE (if encoding to MP3)."));
    audio::channelStop(RecordChannel);
    RecordChannel = 0;
    return;
  }
  audio::channelPlay(RecordChannel, false);
}

void TfrmMain::StopRecording(const QString& file) {
  audio::channelStop(RecordChannel);
  RecordChannel = 0;
  RecordedStream = audio::streamCreateFile(file);
}
