#include "bench_user_interface.h"

#include <cstdio>
#include <utility>

namespace quill::bench {

BenchUserInterface::BenchUserInterface(std::string selected_caption, UserInterface* show)
    : selected_caption_(std::move(selected_caption)), show_(show) {}

void BenchUserInterface::ShowPlacedMessage(const std::string& text, int, int) {
  std::fprintf(stderr, "%s\n", text.c_str());
}

MessageAnswer BenchUserInterface::ShowMessageBox(const std::string& text, MessageIcon, MessageButtons, bool) {
  std::fprintf(stderr, "%s\n", text.c_str());
  return answer;
}

void BenchUserInterface::ShowErrorDialog(const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }

void BenchUserInterface::AddLogLine(const std::string&) {}

void BenchUserInterface::AddColoredLine(const std::string& text, uint32_t) {
  std::fprintf(stderr, "%s\n", text.c_str());
  failed = true;
}

void BenchUserInterface::SetStatusText(const std::string&) {}
void BenchUserInterface::SetProgressMinimum(int) {}
void BenchUserInterface::SetProgressMaximum(int maximum) { maximum_ = maximum; }
void BenchUserInterface::SetProgressPosition(int position) { position_ = position; }
int BenchUserInterface::ProgressMaximum() const { return maximum_; }
int BenchUserInterface::ProgressPosition() const { return position_; }
bool BenchUserInterface::EscapePressed() { return false; }
std::string BenchUserInterface::SelectedNodeCaption() const { return selected_caption_; }

bool BenchUserInterface::SelectTables(const std::vector<std::string>&, const std::string&,
                                      std::vector<std::string>& chosen) {
  if (chosen_tables.empty()) return false;
  chosen = chosen_tables;
  return true;
}

bool BenchUserInterface::RunForeignKeyDesigner(const std::vector<std::string>&, ForeignKeyScripts&) { return true; }

void BenchUserInterface::AddScriptTab(ScriptDocument document) {
  items = document.script.ItemCount();
  bytes = document.script.size();
  if (show_ != nullptr) show_->AddScriptTab(std::move(document));
}

void BenchUserInterface::Pause(int) {}

}  // namespace quill::bench
