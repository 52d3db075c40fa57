// The settings file ("options.ini") through every loader, and the INI
// document under it: a key set in it reads back as set, and its text parses
// to the same keys.
#include "fuzz_support.h"
#include "platform/ini/ini_document.h"
#include "sources/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = quill::fuzz::WriteInput(data, size, "options.ini");
  quill::Settings settings;
  quill::LoadMainWindowOptions(settings, path);
  quill::SetPagesOptions(settings, path);
  quill::LoadDateFormatOptions(settings, path);
  quill::LoadLanguageOption(settings, path);
  if (!settings.lang.empty() && !quill::IsLanguageFileName(settings.lang)) __builtin_trap();

  quill::IniDocument document{std::string(quill::fuzz::Bytes(data, size))};
  for (const std::string& section : document.SectionNames()) document.Entries(section);
  document.Set("Misc", "blobpath", "/blobs");
  if (document.Find("misc", "BLOBPATH") != "/blobs") __builtin_trap();
  const quill::IniDocument again(document.Text());
  if (again.Find("Misc", "blobpath") != "/blobs") __builtin_trap();
  return 0;
}
