#pragma once
// Dialogs answered from a script; every box shown is recorded.

#include <deque>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace orv::test {

class FakeDialogs final : public IDialogs {
 public:
  struct Shown {
    std::string text, caption;
    MsgButtons buttons;
    MsgIcon icon;
  };
  std::vector<Shown> shown;
  std::deque<MsgResult> answers;          // answers in order; when empty, Ok/Yes is chosen
  std::vector<std::string> prompts;       // prompt texts shown by PromptInput
  std::deque<std::string> promptAnswers;  // answers typed into the prompt dialog

  MsgResult ShowBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                    MsgIcon icon) override {
    shown.push_back({text, caption, buttons, icon});
    const bool yesNo = buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel;
    return Next(answers, yesNo ? MsgResult::Yes : MsgResult::Ok);
  }

  std::string PromptInput(const std::string& prompt) override {
    prompts.push_back(prompt);
    return Next(promptAnswers, std::string());
  }

 private:
  template <typename T>
  static T Next(std::deque<T>& queue, T otherwise) {
    if (queue.empty()) return otherwise;
    T next = queue.front();
    queue.pop_front();
    return next;
  }
};

}  // namespace orv::test
