// A welcome page built into the welcome panel (offscreen): a CODE that is no
// number is the one error it may raise.
#include <QApplication>
#include <cstdlib>
#include <stdexcept>

#include "fuzz_support.h"
#include "shell/welcome_panel.h"

namespace {

quill::WelcomePanel& Panel() {
  static int argc = 1;
  static char name[] = "fuzz_welcome_page";
  static char* argv[] = {name, nullptr};
  static QApplication* application = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return new QApplication(argc, argv);
  }();
  static quill::WelcomePanel* panel = new quill::WelcomePanel(nullptr, nullptr);
  (void)application;
  return *panel;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = quill::fuzz::WriteInput(data, size, "welcome.xml");
  try {
    Panel().Build(path);
  } catch (const std::runtime_error&) {
    // a CODE that is no number, reported by the caller
  }
  return 0;
}
