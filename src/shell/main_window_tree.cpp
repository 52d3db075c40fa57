// The source tree: system data sources, their tables and schemas, and the
// commands that start a script from them.
#include <QApplication>
#include <QCollator>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>

#include "common/silent_abort.h"
#include "generator/table_names.h"
#include "shell/escape_poll.h"
#include "shell/main_window.h"
#include "shell/tree_nodes.h"
#include "sources/registryaccess.h"
#include "sources/source_session.h"

namespace quill {
QTreeWidgetItem* MainWindow::AddRoot() {
  auto* root = new QTreeWidgetItem(tree_, QStringList("ODBC System Sources"));
  SetNodeImage(root, kRootImage, kRootImage);
  return root;
}

void MainWindow::AddSourceNodes(const std::vector<std::string>& sources) {
  QTreeWidgetItem* root = tree_->topLevelItem(0);
  for (const std::string& source : sources) {
    auto* node = new QTreeWidgetItem(root, QStringList(QString::fromStdString(source)));
    SetNodeImage(node, kSourceImage, kSelectedSourceImage);
  }
}

void MainWindow::QuietRebuildSources() {
  if (in_rebuild_) return;
  in_rebuild_ = true;
  save_button_->setEnabled(false);
  config_button_->setEnabled(false);
  delete_button_->setEnabled(false);
  generate_button_->setEnabled(false);
  std::vector<std::string> sources;
  SystemDsnList(sources);
  tree_->setUpdatesEnabled(false);
  tree_->clear();
  AddRoot();
  AddSourceNodes(sources);
  tree_->expandAll();
  tree_->setUpdatesEnabled(true);
  in_rebuild_ = false;
}

void MainWindow::RefreshSources() {
  SetStatusText(messages_.status_refresh.toStdString());
  config_button_->setEnabled(false);
  delete_button_->setEnabled(false);
  generate_button_->setEnabled(false);
  struct StatusReset {
    MainWindow* window;
    ~StatusReset() { window->StatusPause(); }
  } reset{this};

  std::vector<std::string> sources;
  if (!SystemDsnList(sources)) ShowPlacedMessage("No system sources found", 200, 60);
  tree_->setUpdatesEnabled(false);
  tree_->clear();
  AddRoot();
  if (sources.empty()) {
    tree_->setUpdatesEnabled(true);
    if (ShowMessageBox(messages_.msg_no_avail_src_f.toStdString(), MessageIcon::Question, MessageButtons::YesNo) ==
            MessageAnswer::Yes &&
        show_odbc_)
      show_odbc_();
  } else {
    AddSourceNodes(sources);
  }
  tree_->expandAll();
  tree_->setUpdatesEnabled(true);
}

void MainWindow::ApplySelectionRule(QTreeWidgetItem* node) {
  const bool source = node != nullptr && NodeLevel(node) == 1;
  config_button_->setEnabled(source);
  delete_button_->setEnabled(source);
  generate_button_->setEnabled(source || (node != nullptr && NodeImage(node) == kTableImage));
}

// The names of the source's tables, sorted without regard to case when the
// option asks for it; the double click drops names equal to one before.
QStringList MainWindow::ListTableNames(const QString& source_name, bool sort, bool drop_equal_names) {
  session().ConnectToSource(source_name.toStdString());
  std::vector<std::string> tables;
  session().GetTableNames(tables);
  QStringList names;
  for (const std::string& table : tables) names.append(QString::fromStdString(table));
  if (sort) SortNames(names, drop_equal_names);
  return names;
}

void MainWindow::SortNames(QStringList& names, bool drop_equal_names) {
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::stable_sort(names.begin(), names.end(),
                   [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
  if (drop_equal_names) {
    auto last = std::unique(names.begin(), names.end(),
                            [&](const QString& a, const QString& b) { return collator.compare(a, b) == 0; });
    names.erase(last, names.end());
  }
}

void MainWindow::FillSourceChildren(QTreeWidgetItem* source_node, const QStringList& names, bool text_file_rule) {
  tree_->setUpdatesEnabled(false);
  qDeleteAll(source_node->takeChildren());
  QStringList schemas_seen;
  for (const QString& name : names) {
    const int point = name.indexOf('.');
    if (point < 0 || (text_file_rule && IsTextFileTable(name.toStdString()))) {
      auto* table = new QTreeWidgetItem(source_node, QStringList(name));
      SetNodeImage(table, kTableImage, kTableImage);
      continue;
    }
    const QString schema = name.left(point);
    if (!schemas_seen.contains(schema)) {
      auto* node = new QTreeWidgetItem(source_node, QStringList(schema));
      SetNodeImage(node, kSchemaImage, kSchemaImage);
      schemas_seen.append(schema);
    }
  }
  source_node->setExpanded(true);
  for (int i = 0; i < source_node->childCount(); ++i) source_node->child(i)->setExpanded(true);
  tree_->setUpdatesEnabled(true);
}

void MainWindow::ListTablesOfSource(QTreeWidgetItem* source_node, bool sort_while_filling) {
  if (source_node == nullptr) throw SilentAbort();
  SetStatusText(messages_.status_list.toStdString());
  QStringList names;
  try {
    names = ListTableNames(source_node->text(0), settings_.alpha, sort_while_filling);
  } catch (...) {
    StatusPause();
    throw;
  }
  FillSourceChildren(source_node, names, true);
  StatusPause();

  if (!names.isEmpty()) {
    if (settings_.batch &&
        ShowMessageBox(messages_.msg_incl_sel_tbl.toStdString(), MessageIcon::Question, MessageButtons::YesNo) ==
            MessageAnswer::Yes)
      RunGenerateScript(source_node->text(0), QString());
    return;
  }
  if (ShowMessageBox(messages_.msg_no_tables_found.toStdString(), MessageIcon::Question, MessageButtons::YesNo) !=
      MessageAnswer::Yes)
    return;
  settings_.extr_from_system = true;
  std::vector<std::string> tables;
  session().GetTableNames(tables);
  QStringList retried;
  for (const std::string& table : tables) retried.append(QString::fromStdString(table));
  // The retry adds to the listing's list, which is sorted by then when the
  // option asks for it, so a name equal to one before is dropped.
  if (settings_.alpha) SortNames(retried, true);
  FillSourceChildren(source_node, retried, false);
  StatusPause();
}

void MainWindow::ListTablesOfSchema(QTreeWidgetItem* schema_node) {
  SetStatusText(messages_.status_list.toStdString());
  const QStringList names = ListTableNames(schema_node->parent()->text(0), settings_.alpha, true);
  tree_->setUpdatesEnabled(false);
  qDeleteAll(schema_node->takeChildren());
  const QString schema = schema_node->text(0);
  for (const QString& name : names) {
    const int point = name.indexOf('.');
    if (point < 0 || name.left(point) != schema) continue;
    auto* table = new QTreeWidgetItem(schema_node, QStringList(name.mid(point + 1)));
    SetNodeImage(table, kTableImage, kTableImage);
  }
  schema_node->setExpanded(true);
  tree_->setUpdatesEnabled(true);
  StatusPause();
}

void MainWindow::ActivateNode(QTreeWidgetItem* node) {
  if (node == nullptr) throw SilentAbort();
  tree_->setCurrentItem(node);
  ApplySelectionRule(node);
  switch (NodeLevel(node)) {
    case 0:
      RefreshSources();
      break;
    case 1:
      ListTablesOfSource(node, true);
      break;
    case 2:
      if (NodeImage(node) == kTableImage) RunGenerateScript(node->parent()->text(0), node->text(0));
      else if (NodeImage(node) == kSchemaImage) ListTablesOfSchema(node);
      break;
    case 3:
      RunGenerateScript(node->parent()->parent()->text(0), node->parent()->text(0) + "." + node->text(0));
      break;
    default:
      break;
  }
}

void MainWindow::GenerateFromToolbar() {
  QTreeWidgetItem* node = tree_->currentItem();
  if (node == nullptr) throw SilentAbort();
  const int level = NodeLevel(node);
  if (level == 1) RunGenerateScript(node->text(0), QString());
  else if (level == 2 && NodeImage(node) == kTableImage) RunGenerateScript(node->parent()->text(0), node->text(0));
  else if (level == 3)
    RunGenerateScript(node->parent()->parent()->text(0), node->parent()->text(0) + "." + node->text(0));
}

void MainWindow::ShowTreeMenu(const QPoint& position) {
  QTreeWidgetItem* node = tree_->itemAt(position);
  if (node == nullptr) return;
  const int level = NodeLevel(node);
  if (level > 1) return;
  tree_->setCurrentItem(node);
  config_button_->setEnabled(level == 1);
  delete_button_->setEnabled(level == 1);
  generate_button_->setEnabled(level == 1);
  QMenu* menu = level == 0 ? root_menu_ : source_menu_;
  menu->popup(tree_->viewport()->mapToGlobal(position));
}

}  // namespace quill
