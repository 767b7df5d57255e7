// The host's base classes that the module derives from. The host reaches
// them only through the static callback tables (noexcept trampolines) that
// each base hands to the host with `this` as `self`.
#pragma once

#include "host/ox_abi.h"
#include "host/text.h"

#include <cstdint>

namespace ox {

// A command. The host owns a registered command and ends it through
// `destroy`, which runs the destructor and returns the storage to the host's
// allocator (the object must have been placed in MemoryAllocate storage).
class CommandBase {
public:
  CommandBase() = default;
  virtual ~CommandBase() = default;
  CommandBase(const CommandBase&) = delete;
  CommandBase& operator=(const CommandBase&) = delete;

  virtual bool Execute(OxDocument* doc);        // false
  virtual int32_t GetState(OxDocument* doc);    // 0x40000000
  virtual bool RestoreLayout(void* layoutData); // false
  virtual Text GetText();                       // empty
  virtual bool Message(int32_t id, void* data); // true

  static const OxCommandCallbacks* Callbacks();
};

// A dialog. The constructor creates the host side (DialogCreate), the
// destructor destroys it (DialogDestroy).
class DialogBase {
public:
  DialogBase();
  virtual ~DialogBase();
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;

  OxDialog* Handle() const noexcept { return dialog_; }

  virtual bool CreateLayout();                      // true
  virtual bool InitValues();                        // true
  virtual bool CoreMessage(int32_t id, void* data); // true
  virtual bool Command(int32_t id, void* data);     // true
  virtual bool AskClose();                          // false: may close
  virtual void Notify(void* data);                  // message 10020; nothing
  virtual void Destroyed();                         // window gone; nothing
  // Every dialog message; the base dispatches to the operations above.
  virtual int32_t Message(int32_t id, int32_t a, void* data);

  bool IsOpen() const; // DialogAddElement kind 52

private:
  OxDialog* dialog_ = nullptr;
};

// The tree view's questions about rows. Defaults: no rows, widths 0.
class TreeModelBase {
public:
  TreeModelBase() = default;
  virtual ~TreeModelBase() = default;
  TreeModelBase(const TreeModelBase&) = delete;
  TreeModelBase& operator=(const TreeModelBase&) = delete;

  virtual void* FirstRow(void* root, void* userData);
  virtual void* FirstChild(void* root, void* userData, void* row);
  virtual void* NextRow(void* root, void* userData, void* row);
  virtual void* PreviousRow(void* root, void* userData, void* row);
  virtual int32_t CellWidth(void* root, void* userData, void* row, int32_t column, OxArea* area);
  virtual int32_t HeaderWidth(void* root, void* userData, int32_t column, OxArea* area);
  virtual int32_t LineHeight(void* root, void* userData, void* row, int32_t column, OxArea* area);
  virtual void DrawCell(void* root, void* userData, void* row, int32_t column, const OxDrawRequest& request,
                        int32_t background);
  virtual bool DrawHeader(void* root, void* userData, int32_t column, const OxDrawRequest& request);
  virtual bool IsSelected(void* root, void* userData, void* row);
  virtual bool IsOpened(void* root, void* userData, void* row);
  virtual Text RowName(void* root, void* userData, void* row);
  virtual int64_t RowId(void* root, void* userData, void* row);
  virtual int32_t RowDragType(void* root, void* userData, void* row);
  virtual void RowContainer(void* root, void* userData, void* row, int32_t what, OxContainer* out);
  virtual int32_t RowChosen(void* root, void* userData, void* row, int32_t column, int32_t flags);

  static const OxTreeModelCallbacks* Callbacks();
};

} // namespace ox
