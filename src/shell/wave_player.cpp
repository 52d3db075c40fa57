#include "shell/wave_player.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QtEndian>

namespace quill {

namespace {

quint32 ReadUInt32(const char* bytes) { return qFromLittleEndian<quint32>(bytes); }
quint16 ReadUInt16(const char* bytes) { return qFromLittleEndian<quint16>(bytes); }

std::optional<QAudioFormat::SampleFormat> SampleFormatOf(quint16 bits_per_sample) {
  switch (bits_per_sample) {
    case 8: return QAudioFormat::UInt8;
    case 16: return QAudioFormat::Int16;
    case 32: return QAudioFormat::Int32;
    default: return std::nullopt;
  }
}

// The sink and the buffer it reads, replaced by each new sound. Both are
// children of the application, so they go with it, before the audio
// back end's own statics.
struct CurrentSound {
  QAudioSink* sink = nullptr;
  QBuffer* buffer = nullptr;
};

CurrentSound& Current() {
  static CurrentSound current;
  return current;
}

void StopCurrent() {
  CurrentSound& current = Current();
  if (current.sink != nullptr) {
    current.sink->stop();
    delete current.sink;
    current.sink = nullptr;
  }
  delete current.buffer;
  current.buffer = nullptr;
}

}  // namespace

std::optional<WaveSound> ParseWave(const QByteArray& file) {
  const char* bytes = file.constData();
  const qsizetype size = file.size();
  if (size < 12 || file.left(4) != "RIFF" || file.mid(8, 4) != "WAVE") return std::nullopt;

  std::optional<QAudioFormat> format;
  qsizetype position = 12;
  while (position + 8 <= size) {
    const QByteArray id = file.mid(position, 4);
    const quint32 chunk_size = ReadUInt32(bytes + position + 4);
    const qsizetype body = position + 8;
    if (chunk_size > static_cast<quint64>(size - body)) return std::nullopt;
    if (id == "fmt ") {
      if (chunk_size < 16) return std::nullopt;
      const quint16 encoding = ReadUInt16(bytes + body);
      const quint16 channels = ReadUInt16(bytes + body + 2);
      const quint32 rate = ReadUInt32(bytes + body + 4);
      const auto sample_format = SampleFormatOf(ReadUInt16(bytes + body + 14));
      if (encoding != 1 || channels == 0 || rate == 0 || !sample_format) return std::nullopt;
      QAudioFormat parsed;
      parsed.setChannelCount(channels);
      parsed.setSampleRate(static_cast<int>(rate));
      parsed.setSampleFormat(*sample_format);
      format = parsed;
    } else if (id == "data") {
      if (!format) return std::nullopt;
      return WaveSound{*format, file.mid(body, chunk_size)};
    }
    // Chunks are padded to an even length.
    position = body + chunk_size + (chunk_size & 1);
  }
  return std::nullopt;
}

void PlayWave(const WaveSound& sound) {
  StopCurrent();
  const QAudioDevice output = QMediaDevices::defaultAudioOutput();
  if (output.isNull() || !output.isFormatSupported(sound.format)) return;
  CurrentSound& current = Current();
  current.buffer = new QBuffer(QCoreApplication::instance());
  current.buffer->setData(sound.samples);
  current.buffer->open(QIODevice::ReadOnly);
  current.sink = new QAudioSink(output, sound.format, QCoreApplication::instance());
  QObject::connect(current.sink, &QObject::destroyed, [] { Current().sink = nullptr; });
  QObject::connect(current.buffer, &QObject::destroyed, [] { Current().buffer = nullptr; });
  current.sink->start(current.buffer);
}

}  // namespace quill
