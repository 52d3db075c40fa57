#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "foreignkeys/foreign_key_designer_model.h"

namespace quill::testing {

struct DesignerMessage {
  std::string text;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  bool default_is_no = false;
};

// The designer's window as a test sees it: messages recorded, questions and
// file choosers answered from scripted queues (an unscripted question fails
// the test and answers No; an unscripted chooser is cancelled).
class ScriptedDesignerView : public DesignerView {
 public:
  ~ScriptedDesignerView() override { EXPECT_TRUE(answers_.empty()) << "unused answers"; }

  void AnswerQuestion(MessageAnswer answer) { answers_.push_back(answer); }
  void AnswerSaveFile(const std::string& path) { save_files_.push_back(path); }
  void AnswerOpenFile(const std::string& path) { open_files_.push_back(path); }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const DesignerMessage& message : messages) texts.push_back(message.text);
    return texts;
  }
  void ClearMessages() { messages.clear(); }

  MessageAnswer ShowMessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons,
                               bool default_is_no) override {
    messages.push_back({text, icon, buttons, default_is_no});
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    if (answers_.empty()) {
      ADD_FAILURE() << "unscripted question: " << text;
      return MessageAnswer::No;
    }
    const MessageAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  void ShowErrorDialog(const std::string& text) override { errors.push_back(text); }
  void ShowLoadingStatus(const std::string& text) override { statuses.push_back(text); }
  void ShowLoadingProgress(int position, int maximum) override {
    progress_position = position;
    progress_maximum = maximum;
  }
  std::string ChooseSaveFile(const std::string& suggested_name) override {
    suggested_names.push_back(suggested_name);
    return Next(save_files_);
  }
  std::string ChooseOpenFile() override { return Next(open_files_); }
  std::string SelectedNodeCaption() const override { return "My Source"; }

  std::vector<DesignerMessage> messages;
  std::vector<std::string> errors;
  std::vector<std::string> statuses;
  std::vector<std::string> suggested_names;
  int progress_position = 0;
  int progress_maximum = 0;

 private:
  static std::string Next(std::deque<std::string>& queue) {
    if (queue.empty()) return {};
    std::string next = queue.front();
    queue.pop_front();
    return next;
  }
  std::deque<MessageAnswer> answers_;
  std::deque<std::string> save_files_;
  std::deque<std::string> open_files_;
};

}  // namespace quill::testing
