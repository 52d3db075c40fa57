#include "shell/about_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QTest>
#include <cmath>
#include <fstream>
#include <sstream>

#include "shell/system_information.h"
#include "shell_test_support.h"
#include "sources/registryaccess.h"

namespace quill {
namespace {

SystemFacts Facts() {
  SystemFacts facts;
  facts.os_name = "Debian GNU/Linux 12 (bookworm)";
  facts.service_pack = "6.1.0-18-amd64";
  facts.cpu_name = "Test CPU";
  facts.cpu_mhz = 2400;
  facts.total_ram_bytes = 8ull * 1024 * 1024 * 1024 + 1024 * 1024 - 1;  // cut to whole megabytes
  facts.available_ram_bytes = 3ull * 1024 * 1024 * 1024;
  facts.memory_load_percent = 62;
  facts.data_access_version = "2.3.11";
  return facts;
}

TEST(SystemInformationText, LinesOfTheAboutBox) {
  EXPECT_EQ(SystemInformationText(Facts()),
            "OS : Debian GNU/Linux 12 (bookworm) 6.1.0-18-amd64\r\n"
            "CPU : Test CPU, 2.3 GHz\r\n"
            "\r\n"
            "Total RAM : 8192 Mb\r\n"
            "Available RAM : 3072 Mb\r\n"
            "62% memory in use.\r\n"
            "\r\n"
            "MDAC Version : 2.3.11");
}

TEST(MemoryInformation, AvailableMemoryIsTheKernelsMemAvailable) {
  struct Case {
    const char* what;
    std::string meminfo;
    std::optional<uint64_t> total_mb;  // nothing: the text gives no figures
    uint64_t available_mb;
    int load_percent;
  };
  // Free memory is small beside the page cache the system can give back.
  const std::string busy_cache =
      "MemTotal:       32768000 kB\nMemFree:          1024000 kB\nMemAvailable:   20480000 kB\n"
      "Buffers:          102400 kB\nCached:         18000000 kB\n";
  const Case cases[] = {
      {"cache counts as available", busy_cache, 32000, 20000, 37},
      {"lines in another order", "MemAvailable: 1024 kB\nMemTotal: 4096 kB\n", 4, 1, 75},
      {"nothing available", "MemTotal: 2048 kB\nMemAvailable: 0 kB\n", 2, 0, 100},
      {"an older kernel without MemAvailable", "MemTotal: 2048 kB\nMemFree: 1024 kB\n", std::nullopt, 0, 0},
      {"no figure", "MemTotal: kB\nMemAvailable: 12 kB\n", std::nullopt, 0, 0},
      {"a longer name is another line", "MemTotalX: 9 kB\nMemAvailable: 1 kB\n", std::nullopt, 0, 0},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    const std::optional<MemoryFigures> figures = ParseMemoryInformation(test.meminfo);
    ASSERT_EQ(figures.has_value(), test.total_mb.has_value());
    if (!figures) continue;
    EXPECT_EQ(figures->total_bytes / 1024 / 1024, *test.total_mb);
    EXPECT_EQ(figures->available_bytes / 1024 / 1024, test.available_mb);
    EXPECT_EQ(MemoryLoadPercent(figures->total_bytes, figures->available_bytes), test.load_percent);
  }
}

TEST(MemoryInformation, TheAboutBoxFiguresAreThoseOfThisComputer) {
  std::ifstream file("/proc/meminfo");
  std::ostringstream text;
  text << file.rdbuf();
  const std::optional<MemoryFigures> figures = ParseMemoryInformation(text.str());
  ASSERT_TRUE(figures.has_value());
  const SystemFacts facts = ReadSystemFacts();
  EXPECT_EQ(facts.total_ram_bytes, figures->total_bytes);
  // Read a moment apart: the figure moves a little, never by a tenth.
  const double difference = std::abs(static_cast<double>(facts.available_ram_bytes) -
                                     static_cast<double>(figures->available_bytes));
  EXPECT_LT(difference, static_cast<double>(figures->total_bytes) / 10);
}

struct CpuCase {
  const char* name;
  std::optional<std::string> cpu_name;
  std::optional<uint32_t> mhz;
  std::string expected_start;  // the text after the OS line, up to "Total RAM"
};

class CpuLineTest : public ::testing::TestWithParam<CpuCase> {};

TEST_P(CpuLineTest, SpeedInMhzUpTo1024ElseInGhz) {
  SystemFacts facts = Facts();
  facts.cpu_name = GetParam().cpu_name;
  facts.cpu_mhz = GetParam().mhz;
  const std::string text = SystemInformationText(facts);
  const size_t start = text.find("\r\n") + 2;
  EXPECT_EQ(text.substr(start, text.find("Total RAM") - start), GetParam().expected_start);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CpuLineTest,
    ::testing::Values(CpuCase{"Exactly1024", "C", 1024u, "CPU : C, 1024 MHz\r\n\r\n"},
                      CpuCase{"Mhz3000", "C", 3000u, "CPU : C, 2.9 GHz\r\n\r\n"},
                      CpuCase{"Mhz2048", "C", 2048u, "CPU : C, 2 GHz\r\n\r\n"},
                      CpuCase{"NoSpeed", "C", std::nullopt, "CPU : C\r\n"},
                      CpuCase{"NoName", std::nullopt, 800u, ", 800 MHz\r\n\r\n"},
                      CpuCase{"Nothing", std::nullopt, std::nullopt, "\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SystemInformationText, UnreachableDataAccessIsUnknown) {
  SystemFacts facts = Facts();
  facts.data_access_version.reset();
  const std::string text = SystemInformationText(facts);
  EXPECT_EQ(text.substr(text.rfind("\r\n")), "\r\nMDAC Version : Unknown");
}

TEST(SystemFacts, ComeFromThisComputer) {
  const SystemFacts facts = ReadSystemFacts();
  EXPECT_FALSE(facts.os_name.empty());
  EXPECT_GT(facts.total_ram_bytes, 0u);
  EXPECT_LE(facts.available_ram_bytes, facts.total_ram_bytes);
  std::string version;
  ASSERT_TRUE(ReadRegString(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\DataAccess\\FullInstallVer", version));
  EXPECT_EQ(facts.data_access_version, version);
}

TEST(BitmapToRegion, KeyColouredPixelsAreLeftOutToTheRightmostColumn) {
  const QRgb key = qRgb(255, 0, 255);
  QImage image(4, 2, QImage::Format_ARGB32);
  image.fill(qRgb(10, 20, 30));
  image.setPixel(0, 0, key);
  image.setPixel(3, 0, qRgba(255, 0, 255, 0));  // the alpha does not count
  image.setPixel(2, 1, key);
  const QRegion region = BitmapToRegion(image, qRgba(255, 0, 255, 128));
  EXPECT_EQ(region, QRegion(1, 0, 2, 1) + QRegion(0, 1, 2, 1) + QRegion(3, 1, 1, 1));
  EXPECT_FALSE(region.contains(QPoint(3, 0)));
  EXPECT_TRUE(region.contains(QPoint(3, 1)));

  image.fill(key);
  EXPECT_TRUE(BitmapToRegion(image, key).isEmpty());
}

class AboutBoxTest : public ::testing::Test {
 protected:
  AboutBoxTest() {
    testing::TestApplication();
    main_.setGeometry(100, 100, 800, 600);
  }

  template <typename T>
  T* Find(const char* name) {
    T* found = box_.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  testing::ScriptedDialogs dialogs_;
  QMainWindow main_;
  AboutBox box_{&main_};
};

TEST_F(AboutBoxTest, ShowsTitleVersionAndSystemInformation) {
  EXPECT_EQ(Find<QLabel>("Label1")->text(), "Quillmarsh v.1.6.4.28");
  // The window carries the same title where the desktop names windows.
  EXPECT_EQ(box_.windowTitle(), "Quillmarsh v.1.6.4.28");
  EXPECT_EQ(Find<QLabel>("Label2")->text(), kMakerWebSiteShown);
  box_.PlaceAndFill();
  const QString text = box_.SystemInformation();
  EXPECT_TRUE(text.startsWith("OS : ")) << text.toStdString();
  EXPECT_TRUE(text.contains("Total RAM : "));
  EXPECT_TRUE(text.contains("% memory in use."));
  std::string version;
  ReadRegString(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\DataAccess\\FullInstallVer", version);
  EXPECT_TRUE(text.endsWith(QString::fromStdString("\nMDAC Version : " + version))) << text.toStdString();
  EXPECT_FALSE(text.contains('\r'));
  const QRect main = main_.frameGeometry();
  EXPECT_EQ(box_.pos(), QPoint(main.left() + main.width() / 2 - 130, main.top() + main.height() / 2 - 141));
}

TEST_F(AboutBoxTest, ShapedLikeItsPicture) {
  EXPECT_TRUE(box_.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(box_.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  const QRegion shape = box_.mask();
  EXPECT_FALSE(shape.contains(QPoint(0, 0))) << "the rounded corner is transparent";
  EXPECT_FALSE(shape.contains(QPoint(255, 320)));
  EXPECT_TRUE(shape.contains(QPoint(128, 160)));
}

TEST_F(AboutBoxTest, DraggedFromThePictureClosedByItsIcon) {
  box_.show();
  box_.move(50, 50);
  const QPoint start = box_.pos();
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, 60), box_.mapToGlobal(QPointF(30, 60)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&box_, &press);
  QMouseEvent move(QEvent::MouseMove, QPointF(50, 90), box_.mapToGlobal(QPointF(50, 90)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&box_, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(50, 90), box_.mapToGlobal(QPointF(50, 90)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&box_, &release);
  EXPECT_EQ(box_.pos(), start + QPoint(20, 30));

  QTest::mouseClick(Find<QLabel>("Image3"), Qt::LeftButton);
  EXPECT_FALSE(box_.isVisible());
  EXPECT_TRUE(dialogs_.messages().empty());
}

TEST(PlayWaveResource, MissingResourceIsReported) {
  testing::TestApplication();
  testing::ScriptedDialogs dialogs;
  PlayWaveResource("NOSOUND");
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].title, "NOSOUND");
  EXPECT_EQ(dialogs.messages()[0].text, "Could not find this Resource");
  EXPECT_EQ(dialogs.messages()[0].icon, MessageIcon::Error);
  PlayWaveResource("SOUND1");
  EXPECT_EQ(dialogs.messages().size(), 1u);
}

}  // namespace
}  // namespace quill
