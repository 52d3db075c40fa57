#include "shell/welcome_panel.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <pugixml.hpp>
#include <stdexcept>
#include <vector>

#include "shell/main_window.h"
#include "shell/shell_resources.h"

namespace quill {

namespace {

constexpr int kRowSpacing = 110;
constexpr int kFirstLabelTop = 40;
constexpr int kButtonOffset = 60;
constexpr int kRowLeft = 50;
constexpr int kLabelWidth = 400;
constexpr int kLabelMinimumHeight = 70;

std::vector<pugi::xml_node> Descendants(const pugi::xml_node& root, const char* name) {
  std::vector<pugi::xml_node> found;
  for (const pugi::xpath_node& node : root.select_nodes((std::string(".//") + name).c_str())) {
    found.push_back(node.node());
  }
  return found;
}

// An element's whole text content, in document order.
std::string WholeText(const pugi::xml_node& node) {
  std::string text;
  for (const pugi::xpath_node& part : node.select_nodes(".//text()")) text += part.node().value();
  return text;
}

std::string TextAt(const std::vector<pugi::xml_node>& nodes, size_t index) {
  if (index >= nodes.size()) return {};  // a row without the element gets no button
  return WholeText(nodes[index]);
}

// The whole number of a CODE text, as the integer conversion reads it.
int CodeNumber(const std::string& text) {
  size_t used = 0;
  int value = 0;
  try {
    value = std::stoi(text, &used, 10);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size()) {
    throw std::runtime_error("'" + text + "' is not a valid integer value");
  }
  return value;
}

// A row's label at its designed place, moved down by shift; it is as high
// as its wrapped text needs, and at least min_height.
QLabel* AddLabel(QWidget* contents, const QString& text, int row, bool word_wrap, int shift, int min_height) {
  auto* label = new QLabel(text, contents);
  label->setObjectName(QString("MyLabel%1").arg(row));
  label->setWordWrap(word_wrap);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  const int height = word_wrap ? std::max(min_height, label->heightForWidth(kLabelWidth)) : min_height;
  label->setGeometry(kRowLeft, kRowSpacing * row + kFirstLabelTop + shift, kLabelWidth, height);
  label->show();
  return label;
}

}  // namespace

WelcomeBackground WelcomeBackgroundPlacement(int client_width, int client_height, int bitmap_width,
                                             int bitmap_height, int scroll_x, int scroll_y) {
  if (bitmap_width <= 0 || bitmap_height <= 0) return {};
  const int ox = scroll_x % bitmap_width;
  const int oy = scroll_y % bitmap_height;
  const int w = std::min(bitmap_width, client_width + ox);
  const int h = std::min(bitmap_height, client_height + oy);
  return {QRect(0, 0, w, h), QPoint(-ox, -oy)};
}

WelcomePanel::WelcomePanel(QWidget* parent, WelcomeCommandHandler handler)
    : QScrollArea(parent), handler_(std::move(handler)), contents_(new QWidget) {
  setObjectName("WelcomeScrollBox");
  setFrameShape(QFrame::NoFrame);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::Base, Qt::white);
  setPalette(white);
  viewport()->setAutoFillBackground(true);
  viewport()->setPalette(white);
  // The contents stay transparent so the picture behind them shows.
  contents_->setObjectName("WelcomeContents");
  setWidget(contents_);
  contents_->setAutoFillBackground(false);  // setWidget turns it on
  setWidgetResizable(false);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), [this] { viewport()->update(); });
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(), [this] { viewport()->update(); });
}

void WelcomePanel::SetBackBitmap(const QImage& bitmap) {
  back_bitmap_ = bitmap.copy();
  viewport()->update();
}

void WelcomePanel::paintEvent(QPaintEvent* event) {
  QScrollArea::paintEvent(event);
  const WelcomeBackground placement =
      WelcomeBackgroundPlacement(viewport()->width(), viewport()->height(), back_bitmap_.width(),
                                 back_bitmap_.height(), horizontalScrollBar()->value(), verticalScrollBar()->value());
  if (placement.source.isEmpty()) return;
  QPainter painter(viewport());
  painter.drawImage(placement.target, back_bitmap_, placement.source);
}

void WelcomePanel::RemoveRows() {
  for (QWidget* child : contents_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (child->objectName().startsWith("MyLabel") || child->objectName().startsWith("MyButton")) delete child;
  }
}

void WelcomePanel::Build(const std::string& file_name) {
  RemoveRows();
  struct ContentsSize {
    QWidget* contents;
    ~ContentsSize() {
      const QRect used = contents->childrenRect().united(QRect(0, 0, 1, 1));
      contents->resize(used.right() + 1, used.bottom() + 1);
    }
  } size_after{contents_};

  pugi::xml_document document;
  if (!document.load_file(file_name.c_str())) return;  // an empty panel, silently
  const pugi::xml_node root = document.document_element();
  const std::vector<pugi::xml_node> infos = Descendants(root, "INFO");
  const std::vector<pugi::xml_node> captions = Descendants(root, "CAPTION");
  const std::vector<pugi::xml_node> codes = Descendants(root, "CODE");

  // Rows keep their designed places; a text longer than its room moves its
  // button, and the rows after it, down.
  int shift = 0;
  const int rows = static_cast<int>(infos.size());
  for (int row = 0; row < rows; ++row) {
    const size_t index = static_cast<size_t>(row);
    const std::string caption = TextAt(captions, index);
    const std::string code_text = TextAt(codes, index);
    const bool may_have_button = !caption.empty() && !code_text.empty();
    QLabel* label = AddLabel(contents_, QString::fromStdString(TextAt(infos, index)), row, true, shift,
                             may_have_button ? kButtonOffset - 1 : kLabelMinimumHeight);
    const int code = may_have_button ? CodeNumber(code_text) : 0;  // a code that is no number ends the build here
    const bool has_button = code >= 1 && code <= 4;
    if (!has_button) {
      shift += std::max(0, label->height() - kLabelMinimumHeight);
      continue;
    }
    const int button_top = std::max(label->y() + kButtonOffset, label->geometry().bottom() + 1);
    shift = button_top - (kRowSpacing * row + kFirstLabelTop + kButtonOffset);
    auto* button = new QPushButton(QString::fromStdString(caption), contents_);
    button->setObjectName(QString("MyButton%1").arg(row));
    button->setGeometry(kRowLeft, button_top, 240, 30);
    const auto command = static_cast<WelcomeCommandCode>(code);
    connect(button, &QPushButton::clicked, this, [this, command] {
      if (handler_) handler_(command);
    });
    button->show();
  }
  // A closing blank row lengthens the scroll range below the last one.
  AddLabel(contents_, " ", rows, false, shift, kLabelMinimumHeight);
}

WelcomePanel* InstallWelcomePanel(QWidget* placeholder, WelcomeCommandHandler handler) {
  auto* panel = new WelcomePanel(placeholder, std::move(handler));
  auto* layout = new QVBoxLayout(placeholder);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(panel);
  EnsureShellResources();
  panel->SetBackBitmap(QImage(":/pictures/welcome.png"));
  return panel;
}

WelcomeCommandHandler MainWindowWelcomeCommands(MainWindow& main_window, std::function<void()> show_odbc_sources) {
  return [&main_window, show_odbc_sources = std::move(show_odbc_sources)](WelcomeCommandCode code) {
    switch (code) {
      case WelcomeCommandCode::ShowOptionsPage1: main_window.ShowOptionsDialog(1); break;
      case WelcomeCommandCode::ShowOptionsPage2: main_window.ShowOptionsDialog(2); break;
      case WelcomeCommandCode::ShowOptionsPage0: main_window.ShowOptionsDialog(0); break;
      case WelcomeCommandCode::ShowOdbcSources:
        if (show_odbc_sources) show_odbc_sources();
        break;
    }
  };
}

}  // namespace quill
