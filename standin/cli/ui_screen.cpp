// `standin ui` full screen (ncurses): the dialog drawn as text with the
// focused control marked, the list as a table with row numbers, the host's
// messages below it, a status line that says what the focused control does
// (and which script line does the same), and message boxes as modal boxes.
//
// Drawing never calls the module: the dialog is read into a snapshot after
// each action, and message boxes, which the module raises in the middle of
// an action, are drawn over that snapshot.
#include "cli/commands.h"
#include "cli/support.h"
#include "cli/ui_frontends.h"
#include "cli/ui_session.h"
#include "core/output.h"
#include "runtime/host.h"
#include "scene/world.h"

#include <algorithm>
#include <clocale>
#include <curses.h>
#include <deque>
#include <dlfcn.h>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>

namespace standin::cli::ui {
namespace {

constexpr int kCtrlC = 3, kCtrlR = 18, kCtrlS = 19, kCtrlY = 25, kCtrlZ = 26, kEscape = 27;
constexpr size_t kLogKept = 500;
constexpr int kLogRows = 3;

enum Colour : short { kPlain = 0, kRed = 1, kAccent = 2, kDim = 3 };

// The narrow curses library shows UTF-8 bytes as M-x sequences; the wide one
// draws them. Which one is linked decides how names are drawn.
bool WideCurses() {
  static const bool wide = dlsym(RTLD_DEFAULT, "wadd_wch") != nullptr;
  return wide;
}

bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// One cell per code point; what the library cannot draw becomes '?'.
std::string Displayable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7f) {
      out += '?';
    } else if (c < 0x80 || WideCurses()) {
      out += text[i];
    } else if (!IsContinuation(text[i])) {
      out += '?';
    }
  }
  return out;
}

int Width(std::string_view text) {
  int n = 0;
  for (const char c : text)
    n += IsContinuation(c) ? 0 : 1;
  return n;
}

// At most `columns` cells of `text`.
std::string Clip(std::string_view text, int columns) {
  int n = 0;
  size_t i = 0;
  for (; i < text.size(); ++i) {
    if (!IsContinuation(text[i]) && n++ == columns)
      break;
  }
  return std::string(text.substr(0, i));
}

std::string Pad(std::string text, int columns) {
  const int width = Width(text);
  if (width < columns)
    text.append(static_cast<size_t>(columns - width), ' ');
  return text;
}

// Draws `text` at (y, x), cut at the right edge (or at `limit` columns).
void Put(int y, int x, std::string_view text, attr_t attr = A_NORMAL, int limit = -1) {
  if (y < 0 || y >= LINES || x >= COLS)
    return;
  int room = COLS - x;
  if (limit >= 0)
    room = std::min(room, limit);
  if (room <= 0)
    return;
  attron(attr);
  mvaddstr(y, x, Clip(Displayable(text), room).c_str());
  attroff(attr);
}

attr_t ColourOf(Colour colour) {
  return has_colors() && colour != kPlain ? COLOR_PAIR(colour) : A_NORMAL;
}

std::vector<std::string> Wrap(const std::string& text, int width) {
  std::vector<std::string> lines;
  std::istringstream paragraphs(text);
  std::string paragraph;
  while (std::getline(paragraphs, paragraph)) {
    std::string line;
    std::istringstream words(paragraph);
    std::string word;
    while (words >> word) {
      if (!line.empty() && Width(line) + 1 + Width(word) > width) {
        lines.push_back(line);
        line.clear();
      }
      while (Width(word) > width) {
        lines.push_back(Clip(word, width));
        word = word.substr(Clip(word, width).size());
      }
      line += (line.empty() ? "" : " ") + word;
    }
    lines.push_back(line);
  }
  return lines;
}

// "message(48): A\nB" -> "A" and "B" on their own lines.
std::string Unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool IsEnter(int key) {
  return key == '\n' || key == '\r' || key == KEY_ENTER;
}

class Screen {
public:
  explicit Screen(std::string scene) : scene_(std::move(scene)) {}

  int Run(Host& host, const std::string& module);
  const std::string& LoadError() const { return error_; }

private:
  // ---- state --------------------------------------------------------------
  const Control* Focused() const {
    return focus_ < snap_.controls.size() ? &snap_.controls[focus_] : nullptr;
  }
  bool ListFocused() const {
    const Control* c = Focused();
    return c != nullptr && c->kind == ControlKind::List;
  }
  void Refresh();
  void Log(std::string line, Colour colour = kPlain);
  void Info(std::string text) {
    status_ = std::move(text);
    statusError_ = false;
  }
  void Error(std::string text) {
    status_ = std::move(text);
    statusError_ = true;
  }
  void OnPrint(std::string_view line);

  // ---- drawing --------------------------------------------------------------
  void Draw();
  void DrawDialogLine(int y, size_t index);
  size_t AppendList(std::vector<std::function<void(int)>>& out, int window);
  std::string FocusHelp() const;
  void DrawBox(int y, int x, int height, int width, const std::string& title);

  // ---- modal parts ------------------------------------------------------------
  void Notice(const std::string& text);
  bool Question(const std::string& text);
  std::optional<std::string> Prompt(const std::string& label, const std::string& initial);
  std::optional<size_t> Choose(const std::string& title, const std::vector<std::string>& items,
                               size_t current);
  void Pager(const std::string& title, const std::vector<std::string>& lines);
  void Help();

  // ---- actions ----------------------------------------------------------------
  bool Act(const ScriptCommand& command);
  bool Act(const std::string& line);
  void Use();                        // Enter / Space on the focused control
  void Step(int direction);          // Left / Right
  void EditNumber(std::string text); // the focused number field
  void Move(int direction);          // Tab / Shift-Tab
  void Save(std::string path, bool askToReplace);
  void CommandLine();
  bool WantsToQuit();
  void HandleKey(int key);

  std::string scene_;
  Snapshot snap_;
  std::vector<int> columnWidths_;
  size_t focus_ = 0;
  int32_t focusId_ = 0;
  ControlKind focusKind_ = ControlKind::Dropdown;
  size_t row_ = 0, top_ = 0; // the list's cursor and first shown row
  size_t bodyScroll_ = 0;    // the first dialog row shown
  int listRows_ = 1;
  std::deque<std::pair<std::string, Colour>> log_;
  std::string status_;
  bool statusError_ = false;
  std::vector<std::string>* capture_ = nullptr;
  std::string saved_;
  std::string savedPath_;
  bool quit_ = false;
  bool started_ = false;
  std::string error_;
};

// ---- state ----------------------------------------------------------------------

void Screen::Refresh() {
  const bool wasOpen = snap_.open;
  snap_ = TakeSnapshot();
  if (snap_.open && !wasOpen)
    focusId_ = 0; // a window (re)opened: start at its first control
  columnWidths_.assign(snap_.list.header.size(), 0);
  auto widen = [this](const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size() && i < columnWidths_.size(); ++i)
      columnWidths_[i] = std::max(columnWidths_[i], std::min(Width(Displayable(cells[i])), 48));
  };
  widen(snap_.list.header);
  for (const auto& row : snap_.list.rows)
    widen(row);
  // Keep the focus on the same control when it is still there.
  size_t found = snap_.controls.size();
  for (size_t i = 0; i < snap_.controls.size(); ++i)
    if (snap_.controls[i].id == focusId_ && snap_.controls[i].kind == focusKind_)
      found = i;
  if (found == snap_.controls.size()) {
    found = 0;
    while (found < snap_.controls.size() && snap_.controls[found].kind == ControlKind::Menu)
      ++found;
    if (found == snap_.controls.size())
      found = 0;
  }
  focus_ = found;
  if (const Control* c = Focused()) {
    focusId_ = c->id;
    focusKind_ = c->kind;
  }
  if (row_ >= snap_.list.rows.size())
    row_ = snap_.list.rows.empty() ? 0 : snap_.list.rows.size() - 1;
}

void Screen::Log(std::string line, Colour colour) {
  log_.emplace_back(std::move(line), colour);
  if (log_.size() > kLogKept)
    log_.pop_front();
}

void Screen::OnPrint(std::string_view line) {
  if (capture_ != nullptr) {
    capture_->emplace_back(line);
    return;
  }
  const bool breach = line.rfind("breach: ", 0) == 0;
  Log(std::string(line), breach ? kRed : kPlain);
  // A notice waits for OK, as the host's message box does; a question is
  // asked by the answer provider right after this line.
  if (started_ && line.rfind("message(", 0) == 0) {
    const size_t close = line.find("): ");
    if (close != std::string_view::npos && line.substr(8, close - 8) != std::to_string(OX_MB_YESNO))
      Notice(Unescape(line.substr(close + 3)));
  }
}

// ---- drawing ----------------------------------------------------------------------

void Screen::Draw() {
  erase();
  const int height = LINES, width = COLS;
  attron(A_REVERSE);
  mvhline(0, 0, ' ', width);
  attroff(A_REVERSE);
  Put(0, 1, (snap_.open ? snap_.title : std::string("standin ui")) + "  -  " + scene_, A_REVERSE | A_BOLD,
      width - 10);
  Put(0, std::max(0, width - 8), "? help", A_REVERSE);

  // Small screens give the messages' room to the dialog.
  const int logRows = height >= 20 ? kLogRows : 0;
  const int bodyEnd = height - 2 - (logRows > 0 ? logRows + 1 : 0); // first row below the dialog
  const int bodyTop = height >= 16 ? 2 : 1;
  const int room = std::max(1, bodyEnd - bodyTop);
  if (!snap_.open) {
    Put(bodyTop, 2, "The dialog is closed.", A_BOLD);
    Put(bodyTop + 1, 2, "Press o to open it again, or q to quit.");
  } else {
    // The dialog as rows; when it does not fit, it scrolls to keep the
    // focused control (or the list's cursor) in view.
    std::vector<std::function<void(int)>> rows;
    size_t focusRow = 0;
    const int others = static_cast<int>(snap_.lines.size()) + (snap_.hasList ? 1 : 0);
    const int total = static_cast<int>(snap_.list.rows.size());
    listRows_ = std::max(std::min(std::max(total, 1), 3), room - others);
    for (size_t i = 0; i < snap_.lines.size(); ++i) {
      const Control* c = Focused();
      if (c != nullptr && !ListFocused() && c->line == i)
        focusRow = rows.size();
      rows.emplace_back([this, i](int y) { DrawDialogLine(y, i); });
      if (snap_.hasList && i == snap_.listLine) {
        const size_t cursor = AppendList(rows, listRows_);
        if (ListFocused())
          focusRow = cursor;
      }
    }
    if (focusRow < bodyScroll_)
      bodyScroll_ = focusRow;
    if (focusRow >= bodyScroll_ + static_cast<size_t>(room))
      bodyScroll_ = focusRow - static_cast<size_t>(room) + 1;
    bodyScroll_ = std::min(bodyScroll_, rows.size() > static_cast<size_t>(room) ? rows.size() - room : 0);
    for (size_t r = bodyScroll_; r < rows.size() && r < bodyScroll_ + static_cast<size_t>(room); ++r)
      rows[r](bodyTop + static_cast<int>(r - bodyScroll_));
  }

  if (logRows > 0) {
    const int rule = bodyEnd;
    Put(rule, 0, std::string(static_cast<size_t>(width), '-'), ColourOf(kDim));
    Put(rule, 2, " messages ", A_BOLD);
    const size_t shown = std::min(log_.size(), static_cast<size_t>(logRows));
    for (size_t i = 0; i < shown; ++i) {
      const auto& [text, colour] = log_[log_.size() - shown + i];
      Put(rule + 1 + static_cast<int>(i), 1, text, ColourOf(colour));
    }
  }
  const std::string status = status_.empty() ? FocusHelp() : status_;
  Put(height - 2, 1, status, statusError_ ? (ColourOf(kRed) | A_BOLD) : A_NORMAL);
  attron(A_REVERSE);
  mvhline(height - 1, 0, ' ', width);
  attroff(A_REVERSE);
  Put(height - 1, 1, "? help  q quit  Tab next  Enter use  u undo  r redo  s save  : command  v scene",
      A_REVERSE);
}

void Screen::DrawDialogLine(int y, size_t index) {
  const std::string& line = snap_.lines[index];
  const Control* focused = Focused();
  const bool here = focused != nullptr && !ListFocused() && focused->line == index;
  Put(y, 0, here ? ">" : " ", A_BOLD | ColourOf(kAccent));
  Put(y, 2, line);
  for (size_t i = 0; i < snap_.controls.size(); ++i) {
    const Control& c = snap_.controls[i];
    if (c.line != index || c.kind == ControlKind::List || c.end > line.size())
      continue;
    attr_t attr = c.enabled ? A_NORMAL : (A_DIM | ColourOf(kDim));
    if (i == focus_)
      attr = A_REVERSE | A_BOLD;
    Put(y, 2 + Width(Displayable(line.substr(0, c.begin))), line.substr(c.begin, c.end - c.begin), attr);
  }
}

// The list's header and at most `window` of its rows, as rows to draw;
// answers the index (in `out`) of the cursor's row.
size_t Screen::AppendList(std::vector<std::function<void(int)>>& out, int window) {
  const auto& list = snap_.list;
  auto cells = [this](const std::vector<std::string>& values) {
    std::string line;
    for (size_t i = 0; i < columnWidths_.size(); ++i) {
      const std::string value = i < values.size() ? Clip(Displayable(values[i]), columnWidths_[i]) : "";
      line += (i == 0 ? "" : " | ") + Pad(value, columnWidths_[i]);
    }
    return line;
  };
  std::string header = "   row  " + cells(list.header);
  const int total = static_cast<int>(list.rows.size());
  window = std::max(window, 1);
  if (row_ < top_)
    top_ = row_;
  if (static_cast<int>(row_ - top_) >= window)
    top_ = row_ - static_cast<size_t>(window) + 1;
  if (top_ > 0 && static_cast<int>(top_) + window > total)
    top_ = static_cast<size_t>(std::max(0, total - window));
  if (total > window)
    header += "   (rows " + std::to_string(top_) + "-" +
              std::to_string(std::min(total, static_cast<int>(top_) + window) - 1) + " of " +
              std::to_string(total) + ")";
  out.emplace_back([header](int y) { Put(y, 2, header, A_BOLD | A_UNDERLINE); });
  const size_t cursorRow = out.size();
  if (total == 0) {
    out.emplace_back([](int y) { Put(y, 2, "   (no rows yet: choose an action and press Process)", A_DIM); });
    return cursorRow;
  }
  size_t at = cursorRow;
  for (int i = 0; i < window && static_cast<int>(top_) + i < total; ++i) {
    const size_t r = top_ + static_cast<size_t>(i);
    const bool cursor = ListFocused() && r == row_;
    if (r == row_)
      at = out.size();
    std::string number = std::to_string(r);
    number.insert(0, number.size() < 6 ? 6 - number.size() : 0, ' ');
    std::string text = number + "  " + cells(list.rows[r]);
    out.emplace_back([cursor, text = std::move(text)](int y) {
      if (cursor)
        Put(y, 0, ">", A_BOLD | ColourOf(kAccent));
      Put(y, 2, text, cursor ? (A_REVERSE | A_BOLD) : A_NORMAL);
    });
  }
  return at;
}

std::string Screen::FocusHelp() const {
  const Control* c = Focused();
  if (!snap_.open || c == nullptr)
    return snap_.open ? "" : "o open the dialog   q quit";
  const std::string off = c->enabled ? "" : " (disabled)";
  switch (c->kind) {
  case ControlKind::Dropdown:
    return c->label + ": " + EntryText(*c) + off + "   Left/Right change, Enter list the choices   [" +
           ScriptFor(*c, c->value) + "]";
  case ControlKind::Checkbox:
    return c->label + ": " + (c->value != 0 ? "on" : "off") + off + "   Space switch   [" +
           ScriptFor(*c, c->value != 0 ? 0 : 1) + "]";
  case ControlKind::Number:
    return c->label + ": " + FormatValue(c->value) + off + "   type a number, Enter   [" +
           ScriptFor(*c, c->value) + "]";
  case ControlKind::Button: return c->label + off + "   Enter press   [" + ScriptFor(*c, 0) + "]";
  case ControlKind::Menu: return "Menu: " + c->label + "   Enter choose   [" + ScriptFor(*c, 0) + "]";
  case ControlKind::List:
    if (snap_.list.rows.empty())
      return "List: no rows   Tab leaves the list";
    return "List: row " + std::to_string(row_) + " of 0-" + std::to_string(snap_.list.rows.size() - 1) +
           "   Up/Down move, Enter choose (selects its object or material)   [" +
           ScriptFor(*c, static_cast<double>(row_)) + "]";
  }
  return "";
}

// Plain ASCII frames: they read the same in every terminal and in captures.
void Screen::DrawBox(int y, int x, int height, int width, const std::string& title) {
  for (int row = y; row < y + height; ++row)
    mvhline(row, x, ' ', width);
  const std::string rule = "+" + std::string(static_cast<size_t>(std::max(0, width - 2)), '-') + "+";
  Put(y, x, rule);
  Put(y + height - 1, x, rule);
  for (int row = y + 1; row < y + height - 1; ++row) {
    Put(row, x, "|");
    Put(row, x + width - 1, "|");
  }
  if (!title.empty())
    Put(y, x + 2, " " + title + " ", A_BOLD);
}

// ---- modal parts ----------------------------------------------------------------------

// A message box: `buttons` side by side, Left/Right/Tab between them, Enter
// takes the marked one; `keys` map a letter to a button. Answers the button.
struct BoxRequest {
  std::string title;
  std::string text;
  std::vector<std::string> buttons;
  size_t initial = 0;
  std::vector<std::pair<int, size_t>> keys;
  size_t onEscape = 0;
};

size_t RunBox(const BoxRequest& request, const std::function<void()>& drawBehind,
              const std::function<void(int, int, int, int, const std::string&)>& box) {
  size_t chosen = request.initial;
  curs_set(0);
  while (true) {
    drawBehind();
    // As wide as the text needs, within the screen.
    std::vector<std::string> lines = Wrap(request.text, std::max(20, std::min(COLS - 4, 72) - 4));
    int width = 0;
    for (const std::string& line : lines)
      width = std::max(width, Width(line));
    int buttons = 0;
    for (const std::string& button : request.buttons)
      buttons += Width(button) + 6;
    width = std::min(COLS, std::max({width, buttons, Width(request.title) + 4, 30}) + 4);
    const int height = std::min(LINES, static_cast<int>(lines.size()) + 5);
    const int y = std::max(0, (LINES - height) / 2), x = std::max(0, (COLS - width) / 2);
    box(y, x, height, width, request.title);
    for (size_t i = 0; i < lines.size() && static_cast<int>(i) + 2 < height - 2; ++i)
      Put(y + 2 + static_cast<int>(i), x + 2, lines[i], A_NORMAL, width - 4);
    int bx = x + 2;
    for (size_t i = 0; i < request.buttons.size(); ++i) {
      const std::string label = "[ " + request.buttons[i] + " ]";
      Put(y + height - 2, bx, label, i == chosen ? (A_REVERSE | A_BOLD) : A_NORMAL);
      bx += Width(label) + 2;
    }
    refresh();
    const int key = getch();
    if (IsEnter(key) || key == ' ')
      return chosen;
    if (key == kEscape || key == kCtrlC)
      return request.onEscape;
    if (key == KEY_LEFT || key == KEY_BTAB)
      chosen = chosen == 0 ? request.buttons.size() - 1 : chosen - 1;
    else if (key == KEY_RIGHT || key == '\t')
      chosen = (chosen + 1) % request.buttons.size();
    for (const auto& [letter, button] : request.keys)
      if (key == letter)
        return button;
  }
}

void Screen::Notice(const std::string& text) {
  BoxRequest request{"Message", text, {"OK"}, 0, {}, 0};
  RunBox(
      request, [this] { Draw(); },
      [this](int y, int x, int h, int w, const std::string& t) { DrawBox(y, x, h, w, t); });
}

bool Screen::Question(const std::string& text) {
  BoxRequest request{
      "Question", text + "\n\ny yes, n no", {"Yes", "No"}, 1, {{'y', 0}, {'Y', 0}, {'n', 1}, {'N', 1}}, 1};
  const bool yes =
      RunBox(
          request, [this] { Draw(); },
          [this](int y, int x, int h, int w, const std::string& t) { DrawBox(y, x, h, w, t); }) == 0;
  return yes;
}

std::optional<std::string> Screen::Prompt(const std::string& label, const std::string& initial) {
  // Cursor positions are byte offsets at code point starts.
  auto previous = [](const std::string& t, size_t at) {
    while (at > 0 && IsContinuation(t[--at])) {
    }
    return at;
  };
  auto next = [](const std::string& t, size_t at) {
    if (at < t.size())
      ++at;
    while (at < t.size() && IsContinuation(t[at]))
      ++at;
    return at;
  };
  std::string text = initial;
  size_t cursor = text.size();
  curs_set(1);
  std::optional<std::string> result;
  while (true) {
    Draw();
    const int y = LINES - 2;
    move(y, 0);
    clrtoeol();
    Put(y, 1, label, A_BOLD);
    const int x = 1 + Width(label) + 1;
    // Keep the cursor on screen: a long text scrolls to the left.
    const int room = std::max(1, COLS - x - 1);
    const int before = Width(std::string_view(text).substr(0, cursor));
    const int skip = std::max(0, before - room + 1);
    const std::string shown = Displayable(text);
    const size_t from = Clip(shown, skip).size();
    Put(y, x, std::string_view(shown).substr(from), A_UNDERLINE, room);
    move(y, x + before - skip);
    refresh();
    const int key = getch();
    if (IsEnter(key)) {
      result = text;
      break;
    }
    if (key == kEscape || key == kCtrlC)
      break;
    if (key == KEY_BACKSPACE || key == 127 || key == 8) {
      const size_t start = previous(text, cursor);
      text.erase(start, cursor - start);
      cursor = start;
    } else if (key == KEY_DC) {
      text.erase(cursor, next(text, cursor) - cursor);
    } else if (key == KEY_LEFT) {
      cursor = previous(text, cursor);
    } else if (key == KEY_RIGHT) {
      cursor = next(text, cursor);
    } else if (key == KEY_HOME || key == 1) { // Ctrl-A
      cursor = 0;
    } else if (key == KEY_END || key == 5) { // Ctrl-E
      cursor = text.size();
    } else if (key == 21) { // Ctrl-U
      text.clear();
      cursor = 0;
    } else if (key >= 0x20 && key < 0x100 && key != 0x7f) {
      text.insert(cursor, 1, static_cast<char>(key));
      ++cursor;
      while (cursor < text.size() && IsContinuation(text[cursor]))
        ++cursor;
    }
  }
  curs_set(0);
  return result;
}

std::optional<size_t> Screen::Choose(const std::string& title, const std::vector<std::string>& items,
                                     size_t current) {
  size_t chosen = current < items.size() ? current : 0;
  while (true) {
    Draw();
    int width = Width(title) + 6;
    for (const std::string& item : items)
      width = std::max(width, Width(Displayable(item)) + 6);
    width = std::min(width, COLS);
    const int height = std::min(LINES, static_cast<int>(items.size()) + 2);
    const int y = std::max(0, (LINES - height) / 2), x = std::max(0, (COLS - width) / 2);
    DrawBox(y, x, height, width, title);
    for (size_t i = 0; i < items.size() && static_cast<int>(i) < height - 2; ++i)
      Put(y + 1 + static_cast<int>(i), x + 2, Pad(Displayable(items[i]), width - 4),
          i == chosen ? (A_REVERSE | A_BOLD) : A_NORMAL, width - 4);
    refresh();
    const int key = getch();
    if (IsEnter(key) || key == ' ')
      return chosen;
    if (key == kEscape || key == 'q')
      return std::nullopt;
    if ((key == KEY_UP || key == KEY_BTAB) && chosen > 0)
      --chosen;
    else if ((key == KEY_DOWN || key == '\t') && chosen + 1 < items.size())
      ++chosen;
  }
}

void Screen::Pager(const std::string& title, const std::vector<std::string>& lines) {
  size_t top = 0;
  while (true) {
    Draw();
    const int height = std::max(3, LINES - 1), width = std::max(10, COLS);
    const int rows = height - 2;
    DrawBox(1, 0, height, width, title);
    for (int i = 0; i < rows && top + static_cast<size_t>(i) < lines.size(); ++i)
      Put(2 + i, 2, lines[top + static_cast<size_t>(i)], A_NORMAL, width - 4);
    std::string foot = "Up/Down/PgUp/PgDn scroll, q or Enter close";
    if (lines.size() > static_cast<size_t>(rows))
      foot += "   (lines " + std::to_string(top + 1) + "-" +
              std::to_string(std::min(lines.size(), top + static_cast<size_t>(rows))) + " of " +
              std::to_string(lines.size()) + ")";
    Put(height, 2, foot, A_DIM, width - 4);
    refresh();
    const int key = getch();
    const size_t last =
        lines.size() > static_cast<size_t>(rows) ? lines.size() - static_cast<size_t>(rows) : 0;
    if (key == 'q' || key == kEscape || IsEnter(key) || key == kCtrlC)
      return;
    if (key == KEY_DOWN || key == 'j')
      top = std::min(last, top + 1);
    else if (key == KEY_UP || key == 'k')
      top = top > 0 ? top - 1 : 0;
    else if (key == KEY_NPAGE || key == ' ')
      top = std::min(last, top + static_cast<size_t>(rows));
    else if (key == KEY_PPAGE)
      top = top > static_cast<size_t>(rows) ? top - static_cast<size_t>(rows) : 0;
    else if (key == KEY_HOME || key == 'g')
      top = 0;
    else if (key == KEY_END || key == 'G')
      top = last;
  }
}

void Screen::Help() {
  std::vector<std::string> lines = {
      "Keys",
      "  Tab / Shift-Tab      next / previous control (Up and Down too, outside the list)",
      "  Left / Right         drop-down: previous / next choice; check box: off / on",
      "  Enter or Space       use the focused control: press a button, switch a check box,",
      "                       list a drop-down's choices, type into a number field,",
      "                       choose a menu entry or a row of the list",
      "  0-9                  type a number (into the focused number field, or the first one)",
      "  Up / Down, PgUp/PgDn move in the list; Home / End its first / last row",
      "  u  (Ctrl-Z)          undo one step",
      "  r  (Ctrl-Y)          redo one step",
      "  s  (Ctrl-S)          save the scene (asks for the file; written safely)",
      "  v                    view the scene tree and the selection",
      "  o                    open the dialog again after it was closed",
      "  :                    type a command of the script language (below)",
      "  ?                    this help",
      "  q  (Ctrl-C)          quit (asks first when the scene has unsaved changes)",
      "",
      "Message boxes: Enter takes the marked button; y / n answer a question; Esc is No.",
      "The status line shows what the focused control does and the script line that does",
      "the same, e.g. [set 5008 2]: 'standin run' takes those lines from a file.",
      "",
  };
  std::istringstream commands(CommandHelp());
  for (std::string line; std::getline(commands, line);)
    lines.push_back(line);
  Pager("Help", lines);
}

// ---- actions ------------------------------------------------------------------------

bool Screen::Act(const ScriptCommand& command) {
  const std::string why = Perform(command);
  Refresh();
  if (!why.empty()) {
    Error(why);
    return false;
  }
  return true;
}

bool Screen::Act(const std::string& line) {
  std::optional<ScriptCommand> command;
  std::string error;
  if (!ParseScriptLine(line, command, error) || !command) {
    Error(error.empty() ? "nothing to do" : error);
    return false;
  }
  return Act(*command);
}

void Screen::Use() {
  const Control* c = Focused();
  if (c == nullptr)
    return;
  if (!c->enabled) {
    Error(c->label + " is disabled now");
    return;
  }
  const Control control = *c; // the snapshot changes under an action
  switch (control.kind) {
  case ControlKind::Dropdown: {
    std::vector<std::string> items;
    size_t current = 0;
    for (size_t i = 0; i < control.entries.size(); ++i) {
      items.push_back(control.entries[i].second);
      if (control.entries[i].first == control.value)
        current = i;
    }
    if (const std::optional<size_t> picked = Choose(control.label, items, current))
      if (control.entries[*picked].first != control.value)
        Act(ScriptFor(control, control.entries[*picked].first));
    break;
  }
  case ControlKind::Checkbox: Act(ScriptFor(control, control.value != 0 ? 0 : 1)); break;
  case ControlKind::Number: EditNumber(FormatValue(control.value)); break;
  case ControlKind::Button:
  case ControlKind::Menu: Act(ScriptFor(control, 0)); break;
  case ControlKind::List: {
    if (snap_.list.rows.empty()) {
      Error("the list has no rows: choose an action, a type and an id, then press Process");
      break;
    }
    const size_t chosen = row_;
    if (Act(ScriptFor(control, static_cast<double>(chosen)))) {
      const std::vector<std::string> selection = SelectionLines();
      std::string where;
      for (size_t i = 0; i < selection.size() && i < 2; ++i)
        where += (i == 0 ? "" : ", ") + selection[i];
      Info("chose row " + std::to_string(chosen) + ": " + where);
    }
    break;
  }
  }
}

void Screen::Step(int direction) {
  const Control* c = Focused();
  if (c == nullptr)
    return;
  const Control control = *c;
  if (control.kind == ControlKind::List)
    return;
  if (control.kind == ControlKind::Button || control.kind == ControlKind::Menu) {
    Info("Left/Right change drop-downs, check boxes and numbers; Enter uses " + control.label);
    return;
  }
  if (!control.enabled) {
    Error(control.label + " is disabled now");
    return;
  }
  if (control.kind == ControlKind::Dropdown) {
    size_t at = 0;
    while (at < control.entries.size() && control.entries[at].first != control.value)
      ++at;
    const long next = static_cast<long>(at) + direction;
    if (at == control.entries.size())
      Act(ScriptFor(control, control.entries.empty() ? 0 : control.entries.front().first));
    else if (next < 0 || next >= static_cast<long>(control.entries.size()))
      Info(control.entries[at].second + (direction < 0 ? " is the first choice" : " is the last choice"));
    else
      Act(ScriptFor(control, control.entries[static_cast<size_t>(next)].first));
  } else if (control.kind == ControlKind::Number) {
    // Stepping an identifier by one is never what was meant.
    Info("type the number, then Enter");
  } else if (control.kind == ControlKind::Checkbox) {
    Act(ScriptFor(control, direction > 0 ? 1 : 0));
  }
}

void Screen::EditNumber(std::string text) {
  const Control* c = Focused();
  if (c == nullptr || c->kind != ControlKind::Number)
    return;
  const Control control = *c;
  const std::optional<std::string> typed = Prompt(control.label + ":", text);
  if (!typed)
    return;
  std::optional<ScriptCommand> command;
  std::string error;
  if (!ParseScriptLine("set " + std::to_string(control.id) + " " + *typed, command, error) || !command) {
    Error("'" + *typed + "' is not a number");
    return;
  }
  Act(*command);
}

void Screen::Move(int direction) {
  const size_t n = snap_.controls.size();
  if (n == 0)
    return;
  focus_ = (focus_ + n + static_cast<size_t>(direction + static_cast<int>(n))) % n;
  focusId_ = snap_.controls[focus_].id;
  focusKind_ = snap_.controls[focus_].kind;
}

void Screen::Save(std::string path, bool askToReplace) {
  if (path.empty()) {
    const std::optional<std::string> typed = Prompt("Save the scene as:", savedPath_);
    if (!typed || typed->empty()) {
      Info("not saved");
      return;
    }
    path = *typed;
  }
  std::error_code ec;
  if (askToReplace && std::filesystem::exists(path, ec) && !Question(path + " exists. Replace it?")) {
    Info("not saved");
    return;
  }
  if (const std::string why = SaveScene(path); !why.empty()) {
    Error("cannot save " + path + ": " + why);
    return;
  }
  saved_ = SaveSceneString();
  savedPath_ = path;
  Info("saved " + path);
  Log("saved " + path);
}

void Screen::CommandLine() {
  const std::optional<std::string> typed = Prompt(":", "");
  if (!typed)
    return;
  std::string_view line = *typed;
  while (!line.empty() && line.front() == ' ')
    line.remove_prefix(1);
  while (!line.empty() && line.back() == ' ')
    line.remove_suffix(1);
  if (line.empty())
    return;
  if (line == "help" || line == "?")
    return Help();
  if (line == "quit" || line == "q" || line == "exit") {
    quit_ = WantsToQuit();
    return;
  }
  if (line == "ids") {
    std::vector<std::string> lines = snap_.idLines;
    lines.insert(lines.begin(), snap_.title);
    return Pager("Controls and their ids", lines);
  }
  std::optional<ScriptCommand> command;
  std::string error;
  if (!ParseScriptLine(line, command, error)) {
    Error(error + " (':help' lists the commands)");
    return;
  }
  if (!command)
    return;
  switch (command->op) {
  case ScriptOp::Save: return Save(command->text, true);
  case ScriptOp::ShowDialog:
  case ScriptOp::ShowList:
  case ScriptOp::ShowScene:
  case ScriptOp::ShowSelection: {
    std::vector<std::string> lines;
    capture_ = &lines;
    const std::string why = Perform(*command);
    capture_ = nullptr;
    if (!why.empty())
      return Error(why);
    return Pager(std::string(line), lines);
  }
  default:
    if (Act(*command))
      Info("done: " + std::string(line));
  }
}

bool Screen::WantsToQuit() {
  if (SaveSceneString() == saved_)
    return true;
  return Question("The scene has changes that are not saved. Quit without saving them?");
}

void Screen::HandleKey(int key) {
  status_.clear();
  statusError_ = false;
  const Control* c = Focused();
  const bool inList = ListFocused();
  const size_t rows = snap_.list.rows.size();
  switch (key) {
  case KEY_RESIZE: return;
  case '\t': return Move(1);
  case KEY_BTAB: return Move(-1);
  case KEY_DOWN:
    if (inList && row_ + 1 < rows)
      ++row_;
    else if (!inList)
      Move(1);
    return;
  case KEY_UP:
    if (inList && row_ > 0)
      --row_;
    else
      Move(-1);
    return;
  case KEY_NPAGE:
    if (inList && rows > 0)
      row_ = std::min(rows - 1, row_ + static_cast<size_t>(listRows_));
    return;
  case KEY_PPAGE:
    if (inList)
      row_ = row_ > static_cast<size_t>(listRows_) ? row_ - static_cast<size_t>(listRows_) : 0;
    return;
  case KEY_HOME:
    if (inList)
      row_ = 0;
    return;
  case KEY_END:
    if (inList && rows > 0)
      row_ = rows - 1;
    return;
  case KEY_LEFT: return Step(-1);
  case KEY_RIGHT: return Step(1);
  case ' ':
  case '\n':
  case '\r':
  case KEY_ENTER: return Use();
  case 'u':
  case kCtrlZ:
    if (Act("undo"))
      Info("undone one step");
    return;
  case 'r':
  case kCtrlR:
  case kCtrlY:
    if (Act("redo"))
      Info("redone one step");
    return;
  case 's':
  case kCtrlS: return Save("", true);
  case ':': return CommandLine();
  case 'v': {
    std::vector<std::string> lines = SceneLines();
    lines.push_back("");
    for (const std::string& line : SelectionLines())
      lines.push_back(line);
    return Pager("Scene", lines);
  }
  case 'o':
    if (Act("open"))
      Info(snap_.open ? "the dialog is open" : "the dialog did not open");
    return;
  case '?':
  case 'h':
  case KEY_F(1): return Help();
  case 'q':
  case kCtrlC: quit_ = WantsToQuit(); return;
  case kEscape: Info("Esc closes boxes and prompts; q quits"); return;
  default: break;
  }
  if ((key >= '0' && key <= '9') || key == '-' || key == '.') {
    // Typing a number goes to the focused number field, or the first one.
    if (c == nullptr || c->kind != ControlKind::Number)
      for (size_t i = 0; i < snap_.controls.size(); ++i)
        if (snap_.controls[i].kind == ControlKind::Number && snap_.controls[i].enabled) {
          focus_ = i;
          focusId_ = snap_.controls[i].id;
          focusKind_ = ControlKind::Number;
          break;
        }
    if (Focused() != nullptr && Focused()->kind == ControlKind::Number)
      return EditNumber(std::string(1, static_cast<char>(key)));
  }
  Error("that key does nothing here: ? shows the keys");
}

int Screen::Run(Host& host, const std::string& module) {
  SetPrintSink([this](std::string_view line) { OnPrint(line); });
  if (!host.LoadModule(module)) {
    SetPrintSink({});
    error_ = host.Error();
    return kBadArguments;
  }
  saved_ = SaveSceneString();
  savedPath_ = scene_;
  SetAnswerProvider([this](std::string_view text) { return Question(std::string(text)); });
  started_ = true;
  if (!Act("open"))
    Error("the dialog does not open: " + status_);
  while (!quit_) {
    Draw();
    refresh();
    HandleKey(getch());
  }
  started_ = false;
  SetAnswerProvider({});
  host.Unload();
  SetPrintSink({});
  return kDone;
}

} // namespace

int RunScreenMode(Host& host, const std::string& scene, const std::string& module) {
  std::setlocale(LC_ALL, "");
  SCREEN* screen = newterm(nullptr, stdout, stdin);
  if (screen == nullptr)
    return -1;
  set_term(screen);
  raw();
  noecho();
  keypad(stdscr, TRUE);
  set_escdelay(25);
  curs_set(0);
  if (has_colors()) {
    start_color();
    use_default_colors();
    init_pair(kRed, COLOR_RED, -1);
    init_pair(kAccent, COLOR_CYAN, -1);
    init_pair(kDim, COLOR_BLUE, -1);
  }
  int status;
  std::string error;
  {
    Screen ui(scene);
    status = ui.Run(host, module);
    error = ui.LoadError();
  }
  endwin();
  delscreen(screen);
  if (!error.empty())
    std::cerr << "standin ui: " << error << '\n';
  return status;
}

} // namespace standin::cli::ui
