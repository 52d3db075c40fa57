#include "shell/foreign_key_designer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "common/silent_abort.h"
#include "shell/designed_size.h"
#include "shell/dialog_presenter.h"
#include "shell/file_dialog_folders.h"
#include "shell/image_list.h"
#include "shell/main_window.h"
#include "sources/source_session.h"

namespace quill {
namespace {

constexpr int kCautionTextHeight = 65;

constexpr int kLoadingDelayMilliseconds = 1000;  // Timer1: the loading starts after the first paint
constexpr int kRowPitch = 45;

const char* const kCautionText =
    "Foreign keys are the major source of database problems. Creating Foreign Keys is part of establishing a "
    "database structure. If you're not familiar with Foreign keys just leave this window using 'Continue' button. "
    "You can seriously harm your database, like not being able to drop tables anymore and other integrity "
    "restrictions. Most of the time you can set your Foreign Keys using your DBMS GUI. ";

}  // namespace

ForeignKeyDesigner::ForeignKeyDesigner(MainWindow& main_window, const Settings& settings)
    : QDialog(&main_window), main_window_(main_window), model_(settings, *this, SystemNow) {
  setObjectName("Form12");
  setWindowTitle("Set Foreign Keys");
  // No title-bar buttons: Continue and Cancel All are the ways out.
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

  auto add_label = [this](QWidget* parent, const char* object_name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(object_name);
    label->move(x, y);
    label->adjustSize();
    return label;
  };
  // The headings keep their designed places over the rows' boxes, which may
  // be wider than designed (see ForeignKeyRowWidget).
  const ForeignKeyRowWidget probe(nullptr);
  using Box = ForeignKeyRowWidget::Box;
  row_width_ = probe.width();
  add_label(this, "Label1", "Foreign Key", 128 + probe.box(Box::FkField)->x() - 168, 16);
  add_label(this, "Label3", "Must link to", 272 + probe.findChild<QWidget*>("Image1")->x() - 284, 16);
  add_label(this, "Label2", "Primary Key", 408 + probe.box(Box::PkField)->x() - 448, 16);
  // Small arrows under the first and the last heading point at the rows.
  const auto add_arrow = [this](const char* object_name, QLabel* heading) {
    auto* arrow = new QLabel(this);
    arrow->setObjectName(object_name);
    arrow->setPixmap(ImageListIcon(kImageArrow).pixmap(9, 9));
    arrow->setGeometry(heading->x() + 4, heading->geometry().bottom() + 1, 9, 9);
  };
  add_arrow("Image2", findChild<QLabel*>("Label1"));
  add_arrow("Image1", findChild<QLabel*>("Label2"));

  // The rows are as wide as their boxes need; the scroll box and the window
  // grow with them.
  scroll_box_ = new QScrollArea(this);
  scroll_box_->setObjectName("ScrollBox1");
  scroll_box_->setGeometry(8, 40, std::max(585, row_width_ + 24), 217);
  scroll_box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_box_->setWidgetResizable(false);
  rows_area_ = new QWidget;
  rows_area_->resize(std::max(565, row_width_ + 4), 213);
  scroll_box_->setWidget(rows_area_);

  caution_title_ = add_label(rows_area_, "Label4", "EXTREME CAUTION ! EXPERIMENTED USERS ONLY", 64, 32);
  caution_title_->setStyleSheet("color: red; font-weight: bold; font-size: 16px");
  caution_title_->adjustSize();
  caution_text_ = add_label(rows_area_, "Label5", kCautionText, 64, 68);
  caution_text_->setWordWrap(true);
  caution_text_->resize(438, kCautionTextHeight);
  caution_types_ =
      add_label(rows_area_, "Label6", "For better results set Foreign Keys between fields that are of the same type.",
                96, 168);
  caution_types_->setStyleSheet("color: red");

  // Below the rows: the loading state, the two options and two rows of
  // buttons, laid out so that they grow with their texts.
  lower_panel_ = new QWidget(this);
  lower_panel_->setObjectName("LowerPanel");
  auto* lower = new QVBoxLayout(lower_panel_);
  lower->setContentsMargins(0, 0, 0, 0);
  auto* groups = new QHBoxLayout;
  auto* loading = new QGroupBox;
  loading->setObjectName("GroupBox1");
  auto* loading_column = new QVBoxLayout(loading);
  progress_ = new QProgressBar;
  progress_->setObjectName("ProgressBar1");
  progress_->setFixedHeight(16);
  progress_->setTextVisible(false);
  status_ = new QLabel("Loading source tables info...");
  status_->setObjectName("Label7");
  loading_column->addWidget(progress_);
  loading_column->addWidget(status_);
  groups->addWidget(loading, 1);

  auto* options = new QGroupBox;
  options->setObjectName("GroupBox2");
  auto* options_column = new QVBoxLayout(options);
  encrypt_ = new QCheckBox("Encrypt Foreign key id");
  encrypt_->setObjectName("CheckBox2");
  drop_existing_ = new QCheckBox("Drop same existing Foreign Key ");
  drop_existing_->setObjectName("CheckBox1");
  drop_existing_->setChecked(true);
  options_column->addWidget(encrypt_);
  options_column->addWidget(drop_existing_);
  groups->addWidget(options, 1);
  lower->addLayout(groups);
  connect(encrypt_, &QCheckBox::toggled, this, [this](bool on) { model_.encrypt = on; });
  connect(drop_existing_, &QCheckBox::toggled, this, [this](bool on) { model_.drop_existing = on; });

  auto* buttons = new QGridLayout;
  auto add_button = [buttons](const char* object_name, const char* text, int row, int column) {
    auto* button = new QPushButton(text);
    button->setObjectName(object_name);
    button->setMinimumWidth(112);
    buttons->addWidget(button, row, column);
    return button;
  };
  add_ = add_button("Add", "Add Foreign Key", 0, 0);
  QPushButton* clear = add_button("Clear", "Delete Last", 0, 1);
  QPushButton* select_all = add_button("SelAll", "Select All", 0, 2);
  QPushButton* deselect_all = add_button("DesAll", "Deselect All", 0, 3);
  QPushButton* analyse = add_button("Analyse", "Analyse Selected", 0, 4);
  load_ = add_button("Load", "Load", 1, 0);
  QPushButton* save = add_button("Save", "Save Selected", 1, 1);
  QPushButton* save_all = add_button("SaveAll", "Save All", 1, 2);
  cancel_ = add_button("Cancel", "Cancel All", 1, 3);
  done_ = add_button("Done", "Continue", 1, 4);
  lower->addLayout(buttons);
  FitLowerPanel();
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);

  connect(add_, &QPushButton::clicked, this, &ForeignKeyDesigner::AddRow);
  connect(clear, &QPushButton::clicked, this, &ForeignKeyDesigner::DeleteLastRow);
  connect(select_all, &QPushButton::clicked, this, &ForeignKeyDesigner::SelectAllRows);
  connect(deselect_all, &QPushButton::clicked, this, &ForeignKeyDesigner::DeselectAllRows);
  connect(analyse, &QPushButton::clicked, this, &ForeignKeyDesigner::AnalyseSelected);
  connect(load_, &QPushButton::clicked, this, &ForeignKeyDesigner::LoadRows);
  connect(save, &QPushButton::clicked, this, &ForeignKeyDesigner::SaveSelected);
  connect(save_all, &QPushButton::clicked, this, &ForeignKeyDesigner::SaveAllRows);
  connect(cancel_, &QPushButton::clicked, this, &ForeignKeyDesigner::CancelAll);
  connect(done_, &QPushButton::clicked, this, &ForeignKeyDesigner::Continue);

  timer_ = new QTimer(this);
  timer_->setObjectName("Timer1");
  timer_->setSingleShot(true);
  timer_->setInterval(kLoadingDelayMilliseconds);
  connect(timer_, &QTimer::timeout, this, &ForeignKeyDesigner::LoadSourceInfo);
}

bool ForeignKeyDesigner::Run(const std::vector<std::string>& chosen_tables, ForeignKeyScripts& scripts) {
  model_.Show(chosen_tables);
  ShowModel();
  const bool done = exec() == QDialog::Accepted;
  timer_->stop();
  if (done) model_.TakeScripts(scripts);
  return done;
}

// The designed 600 x 394 window, grown where the lower panel's texts need
// more room (a language may have changed them since the last showing).
void ForeignKeyDesigner::FitLowerPanel() {
  // The caution texts as large as their words (a language may change them).
  caution_title_->adjustSize();
  caution_text_->resize(caution_text_->width(),
                        std::max(kCautionTextHeight, caution_text_->heightForWidth(caution_text_->width())));
  caution_types_->adjustSize();
  constexpr int kLeft = 8;
  constexpr int kTop = 264;
  const QSize needed = lower_panel_->sizeHint().expandedTo(QSize(scroll_box_->width(), 0));
  lower_panel_->setGeometry(kLeft, kTop, needed.width(), needed.height());
  setFixedSize(std::max(600, kLeft + needed.width() + 7), std::max(394, kTop + needed.height() + 8));
}

void ForeignKeyDesigner::showEvent(QShowEvent* event) {
  FitLowerPanel();
  // Centred on the desktop by its frame, once its size for this showing is known.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect desktop = screen->availableGeometry();
    const QSize frame = ExpectedFrameSize(this);
    PlaceWindowFrame(this, desktop.topLeft() + QPoint((desktop.width() - frame.width()) / 2,
                                                      (desktop.height() - frame.height()) / 2));
  }
  QDialog::showEvent(event);
  caution_title_->repaint();
  caution_text_->repaint();
  caution_types_->repaint();
  status_->repaint();
  timer_->start();
}

template <typename Command>
void ForeignKeyDesigner::RunCommand(Command command) {
  try {
    command();
  } catch (const SilentAbort&) {
  } catch (const std::exception& error) {
    ShowApplicationError(this, QString::fromUtf8(error.what()));
  }
  ShowModel();
}

void ForeignKeyDesigner::LoadSourceInfo() {
  timer_->stop();
  RunCommand([this] { model_.LoadSourceInfo(main_window_.session().connection()); });
  if (add_->isEnabled()) add_->setFocus();
}

void ForeignKeyDesigner::AddRow() {
  const int before = model_.RowCount();
  RunCommand([this] { model_.Add(); });
  if (model_.RowCount() > before) {
    scroll_box_->verticalScrollBar()->setValue(scroll_box_->verticalScrollBar()->maximum());
    scroll_box_->repaint();
  }
}

void ForeignKeyDesigner::DeleteLastRow() { RunCommand([this] { model_.DeleteLast(); }); }
void ForeignKeyDesigner::SelectAllRows() { RunCommand([this] { model_.SelectAll(); }); }
void ForeignKeyDesigner::DeselectAllRows() { RunCommand([this] { model_.DeselectAll(); }); }
void ForeignKeyDesigner::AnalyseSelected() { RunCommand([this] { model_.Analyse(); }); }
void ForeignKeyDesigner::SaveSelected() { RunCommand([this] { model_.SaveSelected(); }); }
void ForeignKeyDesigner::SaveAllRows() { RunCommand([this] { model_.SaveAll(); }); }
void ForeignKeyDesigner::LoadRows() { RunCommand([this] { model_.Load(); }); }

void ForeignKeyDesigner::CancelAll() {
  RunCommand([this] { model_.CancelAll(); });
  QDialog::reject();
}

void ForeignKeyDesigner::reject() {
  // Only the commands that leave the window may close it.
  if (cancel_->isEnabled()) CancelAll();
}

void ForeignKeyDesigner::Continue() {
  bool done = false;
  RunCommand([this, &done] { done = model_.Continue(); });
  if (done) accept();
}

ForeignKeyRowWidget* ForeignKeyDesigner::NewRowWidget(int index) {
  auto* widget = new ForeignKeyRowWidget(rows_area_);
  widget->setObjectName(QString("MyFrame%1").arg(index + 1));
  widget->setGeometry(2, (index + 1) * kRowPitch - 35, row_width_, 47);
  using Box = ForeignKeyRowWidget::Box;
  widget->on_item_chosen = [this, index](Box box, int item) {
    RunCommand([this, index, box, item] {
      switch (box) {
        case Box::FkTable: model_.SelectFkTable(index, item); break;
        case Box::FkField: model_.SelectFkField(index, item); break;
        case Box::PkTable: model_.SelectPkTable(index, item); break;
        case Box::PkField: model_.SelectPkField(index, item); break;
      }
    });
  };
  widget->on_text_typed = [this, index](Box box, const QString& text) {
    RunCommand([this, index, box, text] {
      const std::string typed = text.toStdString();
      if (box == Box::FkTable) model_.TypeFkTable(index, typed);
      if (box == Box::PkTable) model_.TypePkTable(index, typed);
    });
  };
  widget->on_checked = [this, index](bool checked) { RunCommand([this, index, checked] { model_.SetChecked(index, checked); }); };
  widget->show();
  return widget;
}

void ForeignKeyDesigner::ShowModel() {
  const std::vector<ForeignKeyRow>& rows = model_.rows();
  while (row_widgets_.size() > rows.size()) {
    delete row_widgets_.back();
    row_widgets_.pop_back();
  }
  while (row_widgets_.size() < rows.size()) row_widgets_.push_back(NewRowWidget(static_cast<int>(row_widgets_.size())));
  for (size_t i = 0; i < rows.size(); ++i) row_widgets_[i]->ShowRow(rows[i]);
  const int rows_bottom = static_cast<int>(rows.size()) * kRowPitch + 12;
  rows_area_->resize(rows_area_->width(), std::max(213, rows_bottom));

  caution_title_->setVisible(model_.caution_visible());
  caution_text_->setVisible(model_.caution_visible());
  caution_types_->setVisible(model_.caution_visible());
  add_->setEnabled(model_.add_enabled());
  load_->setEnabled(model_.load_enabled());
  done_->setEnabled(model_.leave_enabled());
  cancel_->setEnabled(model_.leave_enabled());
}

MessageAnswer ForeignKeyDesigner::ShowMessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                                                 bool default_is_no) {
  return DialogPresenter::Current().ShowMessage(this, kProductName, QString::fromStdString(text), icon, buttons,
                                                default_is_no, std::nullopt);
}

void ForeignKeyDesigner::ShowErrorDialog(const std::string& text) {
  DialogPresenter::Current().ShowMessage(this, "Error", QString::fromStdString(text), MessageIcon::Error,
                                         MessageButtons::Ok, false, std::nullopt);
}

void ForeignKeyDesigner::ShowLoadingStatus(const std::string& text) {
  status_->setText(QString::fromStdString(text));
  status_->repaint();
}

void ForeignKeyDesigner::ShowLoadingProgress(int position, int maximum) {
  progress_->setMaximum(std::max(maximum, 1));
  progress_->setValue(position);
  progress_->repaint();
}

std::string ForeignKeyDesigner::ChooseSaveFile(const std::string& suggested_name) {
  return ChooseSaveFileOfKind(FileKind::ForeignKeySet, this, "Save Foreign Key Set",
                              QString::fromStdString(suggested_name), "FKS Foreign Key Set (*.fks)", "fks")
      .toStdString();
}

std::string ForeignKeyDesigner::ChooseOpenFile() {
  return ChooseOpenFileOfKind(FileKind::ForeignKeySet, this, "Open Foreign Key Set", "FKS Foreign Key Set (*.fks)")
      .toStdString();
}

std::string ForeignKeyDesigner::SelectedNodeCaption() const { return main_window_.SelectedNodeCaption(); }

}  // namespace quill
