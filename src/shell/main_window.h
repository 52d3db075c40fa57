#pragma once

#include <QColor>
#include <QFont>
#include <QMainWindow>
#include <QRect>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/user_interface.h"
#include "shell/main_window_messages.h"
#include "sources/settings.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QScreen;
class QTimer;
class QPushButton;
class QTabBar;
class QTextEdit;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quill {

class DsnLoginStore;
class EscapePoll;
class StatusBarDisplay;
class ForeignKeyDesigner;
class OptionsDialog;
class ScriptView;
class SourceSession;
class TableSelectionDialog;

// The main window: the source tree, the output options, the script tabs with
// their summaries, the log view and the status bar with its progress bar. It
// is also the core's view of the windows while a command runs.
class MainWindow : public QMainWindow, public UserInterface {
  Q_OBJECT

 public:
  // program_folder ends with "/"; "options.ini" and "pssw/" live there.
  MainWindow(std::string program_folder, Settings& settings);
  ~MainWindow() override;

  // Windows created after the main window that it hands work to.
  void SetLoginStore(DsnLoginStore* logins);
  void SetTableSelectionDialog(TableSelectionDialog* dialog) { table_selection_dialog_ = dialog; }
  void SetOptionsDialog(OptionsDialog* dialog) { options_dialog_ = dialog; }
  void SetForeignKeyDesigner(ForeignKeyDesigner* designer) { foreign_key_designer_ = designer; }
  // The list of ODBC drivers, where a new system data source is added.
  void SetShowOdbc(std::function<void()> show_odbc) { show_odbc_ = std::move(show_odbc); }
  void ShowOdbc() {
    if (show_odbc_) show_odbc_();
  }
  // Runs a command of another window the way the window's own commands run.
  void RunGuarded(const std::function<void()>& command);

  Settings& settings() { return settings_; }
  MainWindowMessages& messages() { return messages_; }
  SourceSession& session();
  QTreeWidget* tree() const { return tree_; }
  const QFont& script_font() const { return script_font_; }
  int bar_pos() const { return bar_pos_; }
  bool maximized_flag() const { return maximized_flag_; }

  // Reads the window's keys of "options.ini" and applies them; the first
  // thing after construction, as at every start.
  void LoadWindowSettings(int startup_pause_milliseconds = 1000);
  // Writes the window's keys (the close handler).
  void SaveWindowSettings();

  // --- commands, also used by tests ---------------------------------------
  void QuietRebuildSources();
  // New texts (a language) may need more room: the window grows for the tool
  // bar's texts where the screen holds them, and is laid out and fitted anew.
  void FitNewTexts();
  void RefreshSources();
  void ListTablesOfSource(QTreeWidgetItem* source_node, bool sort_while_filling);
  void ListTablesOfSchema(QTreeWidgetItem* schema_node);
  void ActivateNode(QTreeWidgetItem* node);  // the tree's double click
  void GenerateFromToolbar();
  void RunGenerateScript(const QString& source_name, const QString& table_name);
  // The exports of the source pop-up menu, over the selected source.
  void ExportToAccess();
  void ExportToCsv();
  void ExportToXml();
  void CloseCurrentTab();
  void SaveCurrentScript();
  void SaveLog();
  void ChooseScriptFont();
  // Help > Help: the help page in the desktop's browser, else where it is.
  void ShowHelpPage();
  void SelectDialect(int dialect);
  void SelectContent(int content);
  void SelectDrop(bool on);
  // The options dialog, modally, on the given page (-1: the page shown last).
  void ShowOptionsDialog(int page);
  // "Do not use Jet Provider" shows the setting again (it has two boxes).
  void SyncJetProviderBox();
  int TabCount() const;
  // The picture of a script tab, from the image list.
  void SetTabImage(int tab_index, int image_index);
  ScriptView* ScriptEditor(int index) const;
  QString SummaryText() const;
  QString LogText() const;
  QString StatusText() const;

  // --- UserInterface -------------------------------------------------------
  void ShowPlacedMessage(const std::string& text, int dx, int dy) override;
  MessageAnswer ShowMessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                               bool default_is_no = false) override;
  void ShowErrorDialog(const std::string& text) override;
  // An error no command caught, as the application reports it.
  void ShowApplicationError(const std::string& text);
  void AddLogLine(const std::string& text) override;
  void AddColoredLine(const std::string& text, uint32_t color) override;
  void SetStatusText(const std::string& text) override;
  void SetProgressMinimum(int minimum) override;
  void SetProgressMaximum(int maximum) override;
  void SetProgressPosition(int position) override;
  int ProgressMaximum() const override;
  int ProgressPosition() const override;
  bool EscapePressed() override;
  std::string SelectedNodeCaption() const override;
  bool SelectTables(const std::vector<std::string>& listed_tables, const std::string& caption,
                    std::vector<std::string>& chosen_tables) override;
  bool RunForeignKeyDesigner(const std::vector<std::string>& tables, ForeignKeyScripts& scripts) override;
  void AddScriptTab(ScriptDocument document) override;
  void Pause(int milliseconds) override;

  // The window in front: the open modal dialog, else the main window.
  QWidget* FrontWindow();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  void BuildCentralArea();
  void BuildStatusBar();
  struct Growth {
    int left_column = 0;  // beyond the designed width of the tree's column
    int log_buttons = 0;  // beyond the designed width of "Clear" and "Save"
    int check_height = 0;
    int summary_height = 0;  // the summary panel's, at least its designed 97
  };
  Growth TextGrowth() const;
  struct ToolBarWidths {
    int with_texts = 0;     // the tool buttons with their texts beside their pictures
    int pictures_only = 0;  // with their pictures only
  };
  ToolBarWidths MeasureToolBar() const;
  QScreen* ScreenShownOn() const;
  void GrowForToolBarTexts();
  void FitToolBar();
  void FitOnScreen();
  void WatchForFrame();
  void WatchFrameAgain();  // fits the window again at each look for a while
  void LayoutForBar(int bar_top);
  static void UncheckAll(QActionGroup* group, QComboBox* combo);
  void LayoutAll();
  void ApplySelectionRule(QTreeWidgetItem* node);
  void ShowTreeMenu(const QPoint& position);
  void AddSourceNodes(const std::vector<std::string>& sources);
  QTreeWidgetItem* AddRoot();
  void FillSourceChildren(QTreeWidgetItem* source_node, const QStringList& names, bool text_file_rule);
  QStringList ListTableNames(const QString& source_name, bool sort, bool drop_equal_names);
  // Sorts without regard to case by the locale's rules.
  static void SortNames(QStringList& names, bool drop_equal_names);
  void ShowCurrentTab();
  void SetScriptCommandsEnabled(bool enabled);
  // The script font and colour on every editor and the log, or on one editor.
  void ApplyFontToEditors();
  void ApplyScriptFont(QWidget* editor);
  void StatusPause();
  void AppendLogLine(const QString& text, std::optional<QColor> color);
  QPoint PlacedPoint(int dx, int dy) const;
  // The caption of the selected node; the silent abort when none is selected.
  std::string SelectedSourceForExport() const;
  // Runs a command: the silent abort ends it without a message, any other
  // error is shown in an error box.
  template <typename Command>
  void RunCommand(Command command);

  std::string program_folder_;
  Settings& settings_;
  MainWindowMessages messages_;
  std::function<void()> show_odbc_;
  DsnLoginStore* logins_ = nullptr;
  std::unique_ptr<DsnLoginStore> own_logins_;
  std::unique_ptr<SourceSession> session_;
  std::unique_ptr<EscapePoll> escape_poll_;
  TableSelectionDialog* table_selection_dialog_ = nullptr;
  OptionsDialog* options_dialog_ = nullptr;
  ForeignKeyDesigner* foreign_key_designer_ = nullptr;  // made on first use when none was given

  // Output options (menus and toolbar kept in step).
  QActionGroup* dialect_group_ = nullptr;
  QActionGroup* content_group_ = nullptr;
  QActionGroup* drop_group_ = nullptr;
  std::vector<QAction*> dialect_items_;
  std::vector<QAction*> content_items_;
  QAction* drop_on_ = nullptr;
  QAction* drop_off_ = nullptr;
  QComboBox* dialect_combo_ = nullptr;   // ComboBox1
  QComboBox* content_combo_ = nullptr;   // ComboBox2
  QCheckBox* drop_check_ = nullptr;      // CheckBox3
  QLineEdit* schema_edit_ = nullptr;     // Edit2

  // Commands enabled by what exists.
  QAction* save_as_ = nullptr;
  QAction* select_all_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* replace_ = nullptr;
  QToolButton* save_button_ = nullptr;      // ToolButton1
  QToolButton* add_button_ = nullptr;       // ToolButton3
  QToolButton* config_button_ = nullptr;    // ToolButton4
  QToolButton* delete_button_ = nullptr;    // ToolButton5
  QToolButton* generate_button_ = nullptr;  // ToolButton7

  QTreeWidget* tree_ = nullptr;            // TreeView1
  QMenu* source_menu_ = nullptr;           // PopupMenu1
  QMenu* root_menu_ = nullptr;             // PopupMenu2
  QCheckBox* jet_check_ = nullptr;         // CheckBox2
  QCheckBox* debug_check_ = nullptr;       // CheckBox1
  QPlainTextEdit* summary_ = nullptr;      // Memo2
  QTabBar* tabs_ = nullptr;                // TabControl1
  QLabel* close_tab_image_ = nullptr;      // Image1
  QWidget* script_panel_ = nullptr;        // Panel2
  QWidget* welcome_panel_ = nullptr;       // Bevel2
  QWidget* splitter_bar_ = nullptr;        // Panel1
  QTextEdit* log_ = nullptr;               // Memo1
  QPushButton* clear_button_ = nullptr;    // Button1
  QPushButton* save_log_button_ = nullptr; // Button2
  QLabel* status_text_ = nullptr;          // StatusBar1 panel 0
  QProgressBar* progress_ = nullptr;       // ProgressBar1 in panel 1
  // What the run sets on the two, shown when it changes.
  std::unique_ptr<StatusBarDisplay> status_display_;
  QWidget* central_ = nullptr;

  std::vector<ScriptView*> script_memos_;  // ScriptMemos, index = tab index
  std::vector<QString> script_summaries_;
  std::vector<QString> script_captions_;  // the tabs' captions as the scripts name them
  QFont script_font_;
  QColor script_font_color_;

  int bar_pos_ = 0;  // distance from the splitter bar's top to the client bottom
  bool dragging_bar_ = false;
  QPoint drag_origin_;
  bool maximized_flag_ = false;
  bool in_rebuild_ = false;
  bool size_from_settings_ = false;  // the saved size is kept, not grown for the tool bar's texts
  QTimer* frame_watch_ = nullptr;    // looks for the frame after the window shows
  int frame_looks_ = 0;
  QRect maximized_place_;  // the place a window being restored had while maximized
};

}  // namespace quill
