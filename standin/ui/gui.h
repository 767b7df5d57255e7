// The stand-in host's dialog framework, message boxes, tree view, drawing
// areas and containers: areas DIALOG, GUI, ELEMENT, DRAW, CONTAINER and the
// tree-view library (OX_LIBRARY_TREEVIEW).
//
// How addElement reads its descriptor (also written beside OX_ELEM_* in
// host/ox_abi.h):
// - OX_ELEM_DROPDOWN_ENTRY: `id` = the drop-down's element id, `extra` = the
//   entry id (the drop-down's value when that entry is chosen), `text`.
// - OX_ELEM_DROPDOWN_CLEAR: `id` = the drop-down's element id.
// - OX_ELEM_MENU_ENTRY: `id` = the command id, `text`; it goes into the
//   innermost open sub-menu (OX_ELEM_SUBMENU_BEGIN `text` .. _END).
// - OX_ELEM_TITLE: `text` = the window title.
// Elements can be added while the layout is built and while the window is
// open; with no window, addElement is a breach.
//
// Values: a drop-down holds an entry id, a check box 0/1, a number field a
// double. setValue stores the limits and clamps the value into them (also
// for drop-downs and check boxes; a check box then stores value != 0).
// getInt/getNumber on an id the window does not have (or on an element
// without a value: statics, buttons, custom elements) answer false and leave
// `out` untouched, without a breach, as a real host does; getInt on a number
// field truncates towards zero and saturates at the 32-bit limits (NaN: 0).
// Elements of a fresh window hold 0, without limits, enabled.
//
// Window life: open (type OX_DIALOG_NONMODAL only) and restore build the
// window: OX_DLGMSG_CREATE_LAYOUT, then OX_DLGMSG_INIT_VALUES. close sends
// OX_DLGMSG_ASK_CLOSE (nonzero refuses), removes the window (every element
// handle of it dies) and sends OX_DLGMSG_DESTROYED. destroy removes an open
// window WITHOUT messages (the module object is being torn down) and frees
// the dialog. Nested open/close of a window that is being built or closed
// answer false.
//
// Tree view: refresh and redraw only mark the list for drawing; the host
// draws it when asked (`show list`, `show dialog`, VisibleList) and walks it
// when a row is chosen. A draw pass enumerates FirstRow/NextRow (descending
// through FirstChild where IsOpened says so), measures every column (header
// width and every cell width, the widest wins) and every row (the tallest
// LineHeight; <= 0 means the host's 14), then draws the header cells at
// y = 0, height 14, and the rows below, column by column from x = 0. Every
// model call gets a fresh OxArea that dies when the call returns. Areas
// measure 7 px per UTF-8 code point and have a line height of 14.
//
// Script operations work on "the open dialog": the most recently opened (or
// re-opened) dialog whose window is open. Each answers a UiOutcome; a failed
// one names its reason and sends nothing to the dialog.
#pragma once

#include "host/ox_abi.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace standin {

struct UiOutcome {
  bool ok = true;
  std::string reason; // why it failed; empty when ok
  explicit operator bool() const { return ok; }
  static UiOutcome Fail(std::string why) { return {false, std::move(why)}; }
};

// ---- areas ----------------------------------------------------------------
void FillUiAreas(OxHostTables& tables);
const OxTreeViewLibrary* TreeViewLibrary();
// Back to empty: no dialogs, elements, containers, queued answers, records;
// the answer provider is removed. Dialog callbacks are not called; every
// handle handed out before becomes stale.
void ResetUi();

// ---- script operations -----------------------------------------------------
bool HasOpenDialog();
// Drop-down: VALUE is the entry id; check box: 0/1; number: clamped into the
// field's limits. Then OX_DLGMSG_COMMAND with a = id.
UiOutcome SetElement(int32_t id, double value);
UiOutcome Press(int32_t id); // buttons only
UiOutcome Menu(int32_t id);  // menu entries only
// Asks the dialog (OX_DLGMSG_ASK_CLOSE); a refusal fails and keeps it open.
UiOutcome Close();
// Chooses the n-th visible row (0-based) of the open dialog's list: asks the
// model for the row's container (rowContainer, what 0, a host container),
// then rowChosen(row, column 0, flags 0).
UiOutcome Choose(int32_t n);
// Sends OX_DLGMSG_CORE_MESSAGE (a = id) to every dialog whose window is open.
void BroadcastCoreMessage(int32_t id);

// `show dialog`: the open dialog drawn as text (empty vector: none open).
//   TITLE
//   Menu: Help [About... | Show Help File (.PDF)...]
//   Options                                   (a group's title; its rows indented)
//     Action to Take: [Generate List v]       (a static text beside a control gets ':')
//     [x] Warn Before Deleting (disabled)  [ ] Do Not Remove ... (disabled)
//     Plugin ID: [0]
//   [Process]  [Cancel]                       (cells of a grid row joined by two spaces)
//   List:                                     (a tree view: its ListLines, indented)
//     Object With Tag | Tag Name
// A group lays its items out row by row, `columns` to a row (0 counts as 1);
// untitled groups add no indentation. With `withIds`, every control and menu
// entry is followed by " #ID".
std::vector<std::string> DialogLines(bool withIds = false);
// `show list`: header cells then one line per visible row, cells joined by
// " | ", exactly the texts the model drew (the texts of several drawText
// calls in one cell are joined by a space). A line in which the model drew
// no text at all (e.g. the plug-in's identify mode) is empty. No list in the
// open dialog (or no open dialog): an empty vector.
std::vector<std::string> ListLines();

struct ListCells {
  std::vector<std::string> header;            // one per column
  std::vector<std::vector<std::string>> rows; // one per visible row, one cell per column
  bool headerDrawn = false;                   // any header cell drew text
  std::vector<bool> rowDrawn;                 // per row: any cell drew text
};
// The same, structured; draws the list afresh. nullopt: no list.
std::optional<ListCells> VisibleList();

// ---- message boxes ------------------------------------------------------------
// messageBox prints `message(FLAGS): TEXT` (line breaks as \n). A Yes/No
// question (OX_MB_YESNO) takes the provider's answer, else the next queued
// one, else prints `question unanswered`; then prints `answer: yes|no` and
// answers OX_MB_ANSWER_YES/NO. Every other box answers 1 (OK).
void QueueAnswer(bool yes);
size_t QueuedAnswers();
void ClearAnswers();
// Answers Yes/No questions instead of the queue while installed (interactive
// front end); an empty function removes it.
using AnswerProvider = std::function<bool(std::string_view text)>;
void SetAnswerProvider(AnswerProvider provider);

// ---- inspection (tests, the interactive front end) -------------------------------
struct ElementInfo {
  int32_t kind = 0; // OX_ELEM_*
  int32_t id = 0;
  std::string text;
  bool enabled = true;
  double value = 0;
  bool hasLimits = false;
  double min = 0, max = 0, step = 0;
  int32_t format = 0;
  std::vector<std::pair<int32_t, std::string>> entries; // drop-down: entry id, text
  int32_t customType = 0;
};
// Elements of the open dialog's window in the order they were added.
std::vector<ElementInfo> OpenDialogElements();
// Menu entries of the open dialog (command id, text), depth first.
std::vector<std::pair<int32_t, std::string>> OpenDialogMenu();
std::string OpenDialogTitle();
size_t LiveDialogs();
size_t LiveElements();
size_t LiveContainers();
size_t LiveAreas();
int32_t PauseCalls(); // pauseHostActivity calls since ResetUi

// A container's entries in insertion order; nullopt for a bad handle.
struct ContainerEntry {
  int32_t key = 0;
  bool isBool = false;
  int32_t value = 0;
};
std::optional<std::vector<ContainerEntry>> ContainerEntries(const OxContainer* container);

// What the last draw pass of a list recorded.
struct DrawOp {
  enum Kind { ResetPen, FillRect, SetFont, SetTextColors, DrawText } kind;
  int32_t a = 0, b = 0, c = 0, d = 0; // FillRect x1 y1 x2 y2; SetFont id; colours fg bg; DrawText x y flags
  std::string text;                   // DrawText
};
struct DrawCall {
  bool header = false;
  int32_t row = -1;   // visible row index (data cells)
  int32_t column = 0; // column id
  int32_t x = 0, y = 0, width = 0, height = 0;
  std::vector<DrawOp> ops;
};
struct TreeDrawing {
  std::vector<int32_t> columns; // column ids, left to right
  std::vector<int32_t> widths;
  std::vector<int32_t> rowHeights;
  int32_t headerHeight = 0;
  std::vector<DrawCall> calls; // every header and cell draw, in call order
};
// The last draw pass (empty before any).
const TreeDrawing& LastTreeDrawing();

} // namespace standin
