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
// Values: a drop-down holds an entry id, a check box 0/1, a number field a
// double clamped to the limits given by setValue. getInt/getNumber on an id
// the window does not have answer false and leave `out` untouched; getInt on
// a number field truncates towards zero.
//
// Script operations work on "the open dialog": the most recently opened
// dialog whose window is open. Each answers a UiOutcome; a failed one names
// its reason and sends nothing to the dialog.
#pragma once

#include "host/ox_abi.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
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
// Back to empty: no dialogs, elements, containers, queued answers, records.
// Dialog callbacks are not called.
void ResetUi();

// ---- script operations -----------------------------------------------------
bool HasOpenDialog();
// Drop-down: VALUE is the entry id; check box: 0/1; number: clamped.
UiOutcome SetElement(int32_t id, double value);
UiOutcome Press(int32_t id);
UiOutcome Menu(int32_t id);
// Asks the dialog (OX_DLGMSG_ASK_CLOSE); a refusal fails and keeps it open.
UiOutcome Close();
// Chooses the n-th visible row (0-based) of the open dialog's tree view.
UiOutcome Choose(int32_t n);
// Sends OX_DLGMSG_CORE_MESSAGE (a = id) to every dialog whose window is open.
void BroadcastCoreMessage(int32_t id);

// `show dialog`: the open dialog drawn as text (empty vector: none open).
std::vector<std::string> DialogLines();
// `show list`: header cells then one line per visible row, cells joined by
// " | " (the texts the model drew).
std::vector<std::string> ListLines();

struct ListCells {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
};
// The same, structured. Draws the list afresh.
ListCells VisibleList();

// ---- message boxes ------------------------------------------------------------
void QueueAnswer(bool yes);
size_t QueuedAnswers();
void ClearAnswers();
// Answers Yes/No questions instead of the queue while installed (interactive
// front end); an empty function removes it.
using AnswerProvider = std::function<bool(std::string_view text)>;
void SetAnswerProvider(AnswerProvider provider);

} // namespace standin
