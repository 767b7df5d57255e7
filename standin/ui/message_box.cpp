// Area GUI: message boxes (printed, questions answered from the script's
// queue or the interactive front end) and the pause of host activity.
#include "core/output.h"
#include "core/texts.h"
#include "ui/ui_state.h"

#include <string>

namespace standin {

using namespace ui;

namespace {

std::string OneLine(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

int32_t MessageBox(const OxText* text, int32_t flags) noexcept {
  const std::string* found = TextString(text, "MessageBox");
  if (found == nullptr)
    return 0;
  const std::string body = *found;
  Print("message(" + std::to_string(flags) + "): " + OneLine(body));
  if (flags != OX_MB_YESNO)
    return 1;
  State& s = S();
  bool yes = false;
  if (s.provider) {
    try {
      yes = s.provider(body);
    } catch (...) {
      yes = false; // a failing front end answers No, the safe answer
    }
  } else if (!s.answers.empty()) {
    yes = s.answers.front();
    s.answers.pop_front();
  } else {
    Print("question unanswered");
  }
  Print(yes ? "answer: yes" : "answer: no");
  return yes ? OX_MB_ANSWER_YES : OX_MB_ANSWER_NO;
}

OxBool PauseHostActivity(int32_t, int32_t, int32_t) noexcept {
  ++S().pauseCalls;
  return 1;
}

const OxGuiArea kArea{sizeof(OxGuiArea), MessageBox, PauseHostActivity};

} // namespace

const OxGuiArea* ui::GuiArea() {
  return &kArea;
}

void QueueAnswer(bool yes) {
  S().answers.push_back(yes);
}
size_t QueuedAnswers() {
  return S().answers.size();
}
void ClearAnswers() {
  S().answers.clear();
}
void SetAnswerProvider(AnswerProvider provider) {
  S().provider = std::move(provider);
}

} // namespace standin
