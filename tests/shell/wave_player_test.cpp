#include "shell/wave_player.h"

#include <gtest/gtest.h>

#include <QtEndian>

namespace quill {
namespace {

QByteArray Chunk(const QByteArray& id, const QByteArray& body) {
  QByteArray chunk = id;
  char size[4];
  qToLittleEndian<quint32>(static_cast<quint32>(body.size()), size);
  chunk.append(size, 4).append(body);
  if (body.size() % 2 != 0) chunk.append('\0');
  return chunk;
}

QByteArray Format(quint16 encoding, quint16 channels, quint32 rate, quint16 bits) {
  char body[16];
  qToLittleEndian<quint16>(encoding, body);
  qToLittleEndian<quint16>(channels, body + 2);
  qToLittleEndian<quint32>(rate, body + 4);
  qToLittleEndian<quint32>(rate * channels * bits / 8, body + 8);
  qToLittleEndian<quint16>(static_cast<quint16>(channels * bits / 8), body + 12);
  qToLittleEndian<quint16>(bits, body + 14);
  return Chunk("fmt ", QByteArray(body, 16));
}

QByteArray Riff(const QByteArray& chunks) { return Chunk("RIFF", "WAVE" + chunks).left(8 + 4 + chunks.size()); }

TEST(ParseWave, ReadsFormatAndSamplesPastOtherChunks) {
  const QByteArray samples("\x01\x02\x03\x04", 4);
  const auto sound = ParseWave(Riff(Format(1, 2, 44100, 16) + Chunk("LIST", "odd") + Chunk("data", samples)));
  ASSERT_TRUE(sound.has_value());
  EXPECT_EQ(sound->format.channelCount(), 2);
  EXPECT_EQ(sound->format.sampleRate(), 44100);
  EXPECT_EQ(sound->format.sampleFormat(), QAudioFormat::Int16);
  EXPECT_EQ(sound->samples, samples);
}

TEST(ParseWave, RefusesWhatItCannotPlay) {
  const QByteArray data = Chunk("data", "\x01\x02");
  const struct {
    const char* name;
    QByteArray file;
  } cases[] = {
      {"empty", QByteArray()},
      {"not a wave", Chunk("RIFF", "AVI " + data)},
      {"compressed", Riff(Format(2, 1, 22050, 16) + data)},
      {"24-bit", Riff(Format(1, 1, 22050, 24) + data)},
      {"no channels", Riff(Format(1, 0, 22050, 16) + data)},
      {"data before format", Riff(data + Format(1, 1, 22050, 16))},
      {"no data", Riff(Format(1, 1, 22050, 16))},
      {"chunk longer than the file", Riff(Format(1, 1, 22050, 16) + data).chopped(1)},
  };
  for (const auto& c : cases) EXPECT_FALSE(ParseWave(c.file).has_value()) << c.name;
}

}  // namespace
}  // namespace quill
