#pragma once

#include <string>

namespace quill {

enum class TargetDialect { MySql = 0, MsSql = 1, Oracle = 2, Pervasive = 3, PostgreSql = 4 };
enum class ContentMode { TableAndData = 0, TableOnly = 1, DataOnly = 2 };

constexpr int kNoChoice = -1;  // item index of a radio group or combo box with nothing chosen

// The whole configuration, one field per key of "options.ini", each holding
// its designed default. This one object is the live state the windows edit and
// every reader looks at (the dialogs bind their widgets to these fields).
struct Settings {
  // [Data], owned by the options dialog.
  bool convert = false;            // Convert: "Convert date fields to text fields"
  bool formatting = false;         // Formatting: "Use date formatting"
  bool leave = false;              // Leave: "Leave dates as they are"
  std::string size = "30";         // Size: field size of converted dates
  int access = kNoChoice;          // Access: 0 Access 97, 1 Access 2000

  // [Misc], owned by the options dialog.
  std::string go_lines;            // GOLines
  std::string float_format;        // FloatFormat
  std::string blob_path;           // blobpath
  bool quoted = false;             // Quoted: no quotes on numeric fields
  bool batch = false;              // Batch: generate on source double click
  bool underscore = false;         // Underscore: blanks become "_"
  bool disable_warn = false;       // DisableWarn
  bool text_from_blob = false;     // TextFromBlob
  bool extr_from_system = false;   // ExtrFromSystem
  bool jet_eng = false;            // JetEng: "Do not use Jet Provider"
  bool alpha = false;              // Alpha: tables in alphabetical order
  bool null_quoted = false;        // NullQuoted
  bool go = false;                 // GO
  bool extract_files = false;      // extractfiles
  bool save_as_raw = false;        // saveasraw
  bool find_bmp = false;           // findbmp
  bool find_jpg = false;           // findjpg
  bool find_tif = false;           // findtif
  bool find_gif = false;           // findgif
  bool find_wmf = false;           // findwmf
  bool find_pdf = false;           // findpdf
  bool find_doc = false;           // finddoc
  bool find_zip = false;           // findzip
  bool find_wav = false;           // findwav
  bool find_mp3 = false;           // findmp3
  bool find_png = false;           // findpng
  int files_method = kNoChoice;    // FilesMethod: 0 Restrict, 1 Filter

  // [Misc], owned by the main window.
  bool drop = false;               // Drop
  std::string ms_schema;           // MSSchema: destination schema, empty = none
  int bar_pos = 0;                 // BarPos
  int width = 0;                   // Width; 0 until the main window gives its designed size
  int height = 0;                  // Height
  int top = 157;                   // Top
  int left = 370;                  // Left
  bool maximized = false;          // Maximized
  std::string lang;                // lang: empty = English

  // [Output], owned by the main window.
  ContentMode content = ContentMode::TableAndData;  // Content
  TargetDialect format = TargetDialect::MySql;      // Format
  std::string font = "MS Sans Serif";               // Font
  int font_size = 8;                                // FontSize
  int font_color = -16777208;                       // FontColor (clWindowText)
  int font_style = 0;                               // FontStyle: bold 1, italic 2, underline 4, strike-out 8

  // [Output], owned by the date-format dialog (DateFormatSettings).
  std::string my_format;                 // MyFormat
  std::string pe_format = "YYYY-MM-DD";  // PeFormat
  std::string or_format;                 // OrFormat
  std::string po_time_format;            // PoTimeFormat
  std::string po_date_format;            // PoDateFormat
  int ms_format = kNoChoice;             // MSFormat: 0 mdy ... 5 ydm
  int po_format = kNoChoice;             // PoFormat: 0 "ISO, YMD" ... 11 "German, DMY"
  int ms_type = kNoChoice;               // MSType: 0 TIMESTAMP, 1 DATETIME
  int post_form_type = kNoChoice;        // PostFormType: 0 datestyle, 1 format string

  // Live only, never saved.
  bool debug_mode = true;          // Form1.CheckBox1 "Debug mode  (Get only 5 rows)", checked at start

  friend bool operator==(const Settings&, const Settings&) = default;
};

}  // namespace quill
