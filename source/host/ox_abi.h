/*
 * The host boundary: the only header shared by the module and any host.
 *
 * Plain C. The host hands the module a table of area tables at entry action 1;
 * the module calls the host only through those tables, and the host calls the
 * module only through the callback tables below (command, dialog, tree-view
 * model), each with the module object's `self` pointer.
 *
 * Rules for every function here, unless its comment says otherwise:
 * - main thread only, one call at a time;
 * - handles are opaque; a null handle means "none";
 * - a function handed a null, stale or foreign handle answers null, false or
 *   0 and changes nothing (a validating host also reports the breach);
 * - a text handle returned by a function is a new reference the caller owns
 *   and must release with `release`; a text handle passed in is borrowed;
 *   the empty text is the null handle (it has no storage);
 * - every struct that may grow starts with `size` (its byte size as the
 *   writer knows it); readers use only fields that lie within `size`.
 */
#ifndef OX_ABI_H
#define OX_ABI_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- API versions -------------------------------------------------------- */

#define OX_API_VERSION_WIN 2025300
#define OX_API_VERSION_MAC 2025200

/* ---- opaque handles ------------------------------------------------------- */

typedef struct OxDocument_ OxDocument;   /* a scene document */
typedef struct OxNode_ OxNode;           /* object, tag, material, shader, videopost,
                                            render settings, plug-in record */
typedef struct OxDialog_ OxDialog;       /* host side of a dialog */
typedef struct OxElement_ OxElement;     /* a dialog element (custom elements) */
typedef struct OxArea_ OxArea;           /* a drawing area handed to a draw callback */
typedef struct OxContainer_ OxContainer; /* a keyed settings container */
typedef struct OxText_ OxText;           /* a reference-counted host text */
typedef struct OxLink_ OxLink;           /* a weak link to a node */
typedef struct OxNodeArray_ OxNodeArray; /* a growable array of node handles */
typedef struct OxValue_ OxValue;         /* a typed parameter value */
typedef struct OxLayer_ OxLayer;         /* a layer of a layer shader */
typedef struct OxChannel_ OxChannel;     /* a material channel */
typedef struct OxBitmap_ OxBitmap;       /* a loaded bitmap (command icon) */

typedef uint8_t OxBool; /* 0 false, anything else true; one byte across the boundary */

/* ---- constants shared by both sides --------------------------------------- */

/* Plug-in registry type codes (PluginLookup, NodeTypeId of a record). */
#define OX_PLUGINTYPE_ANY 0
#define OX_PLUGINTYPE_SHADER 1
#define OX_PLUGINTYPE_OBJECT 5
#define OX_PLUGINTYPE_TAG 6
#define OX_PLUGINTYPE_VIDEOPOST 8

/* Node type ids the host itself gives meaning to. */
#define OX_TYPE_LAYER_SHADER 1011123

/* Host libraries looked up by id (OxLibraryArea.find). */
#define OX_LIBRARY_TREEVIEW 1000475
#define OX_LIBRARY_LAYERSHADER 450000055

/* Layer shader: layer kind that links a shader, its parameter, value kind. */
#define OX_LAYER_KIND_SHADER 2
#define OX_LAYER_PARAM_LINK 2002
#define OX_VALUE_KIND_LINK 14

/* Undo entry kinds. */
#define OX_UNDO_DELETE 45

/* Message box flags and answers. */
#define OX_MB_OK 48
#define OX_MB_YESNO 36
#define OX_MB_ANSWER_YES 6
#define OX_MB_ANSWER_NO 7

/* Dialog element kinds (OxElementDesc.kind).
 * How addElement reads the descriptor for the kinds that are not elements:
 * - OX_ELEM_DROPDOWN_ENTRY: `id` is the drop-down's element id, `extra` the
 *   entry's id (the value the drop-down takes when that entry is chosen),
 *   `text` the entry's text. Entries keep the order they were added in.
 * - OX_ELEM_DROPDOWN_CLEAR: `id` is the drop-down's element id; its entries
 *   are removed (its value stays until set).
 * - OX_ELEM_MENU_ENTRY: `id` is the command id sent with OX_DLGMSG_COMMAND
 *   when the entry is chosen, `text` its text; it goes into the innermost
 *   open sub-menu (OX_ELEM_SUBMENU_BEGIN `text` .. OX_ELEM_SUBMENU_END).
 * - OX_ELEM_TITLE: `text` is the window title.
 * - OX_ELEM_MENU_CLEAR / OX_ELEM_MENU_DONE: start / finish the menu bar.
 * A drop-down's value (getInt, setValue) is the chosen entry's id. */
#define OX_ELEM_CHECKBOX 2
#define OX_ELEM_STATIC 3
#define OX_ELEM_BUTTON 4
#define OX_ELEM_NUMBER 7
#define OX_ELEM_DROPDOWN 15
#define OX_ELEM_DROPDOWN_ENTRY 17
#define OX_ELEM_DROPDOWN_CLEAR 18
#define OX_ELEM_TITLE 20
#define OX_ELEM_SUBMENU_BEGIN 27
#define OX_ELEM_SUBMENU_END 28
#define OX_ELEM_MENU_CLEAR 30
#define OX_ELEM_MENU_DONE 35
#define OX_ELEM_MENU_ENTRY 38
#define OX_ELEM_CUSTOM 50
#define OX_ELEM_IS_OPEN 52 /* query: answers true while the dialog's window is open */

/* Dialog types for DialogOpen. */
#define OX_DIALOG_NONMODAL 20

/* Dialog messages (OxDialogCallbacks.message). */
#define OX_DLGMSG_CREATE_LAYOUT 1
#define OX_DLGMSG_INIT_VALUES 2
#define OX_DLGMSG_CORE_MESSAGE 3 /* a = notification id */
#define OX_DLGMSG_COMMAND 4      /* a = element id */
#define OX_DLGMSG_ASK_CLOSE 5    /* answer nonzero to refuse closing */
#define OX_DLGMSG_NOTIFY 10020   /* host message 10020 */
#define OX_DLGMSG_DESTROYED 7    /* the window is gone */

/* Value kinds for DialogSetValue. */
#define OX_DLGVALUE_INT 1
#define OX_DLGVALUE_FLOAT 2

/* Entry actions (c4d_main). */
#define OX_ACTION_INIT 1
#define OX_ACTION_START 2
#define OX_ACTION_END 3
#define OX_ACTION_QUERY 4
#define OX_ACTION_MESSAGE 6
#define OX_ENTRY_REFUSED (-3)

/* ---- the area tables ------------------------------------------------------ */

/* Every area table starts with its size; a table shorter than the module
 * needs, or with a null slot the module needs, makes the module refuse the
 * host at entry action 1. */

typedef struct OxMemoryArea {
  uint32_t size;
  void* (*allocate)(size_t bytes); /* null when out of memory; never throws */
  void (*release)(void* block);    /* null is ignored */
} OxMemoryArea;

typedef struct OxTextArea {
  uint32_t size;
  OxText* (*fromLiteral)(const char* utf8); /* "" and null give the empty text */
  OxText* (*fromInteger)(int64_t value);    /* plain decimal */
  OxText* (*join)(const OxText* a, const OxText* b);
  OxText* (*retain)(OxText* text);         /* adds a reference; answers text */
  void (*release)(OxText* text);           /* drops a reference; null is ignored */
  const char* (*utf8)(const OxText* text); /* valid while a reference is held; "" for empty */
  size_t (*length)(const OxText* text);    /* bytes */
} OxTextArea;

typedef struct OxConsoleArea {
  uint32_t size;
  void (*write)(const OxText* line);
} OxConsoleArea;

typedef struct OxDocumentArea {
  uint32_t size;
  OxDocument* (*active)(void);
  OxNode* (*firstObject)(OxDocument* doc);
  OxNode* (*firstMaterial)(OxDocument* doc);
  OxNode* (*renderSettings)(OxDocument* doc);
  /* Appends the selected objects (mode 0: top-most and nested alike, in
   * document order) / selected materials to `out`, which is emptied first. */
  void (*selectedObjects)(OxDocument* doc, OxNodeArray* out, int32_t mode);
  void (*selectedMaterials)(OxDocument* doc, OxNodeArray* out);
  /* Makes `node` the only selected and active object / material (mode 0). */
  void (*selectObject)(OxDocument* doc, OxNode* object, int32_t mode);
  void (*selectMaterial)(OxDocument* doc, OxNode* material, int32_t mode);
} OxDocumentArea;

typedef struct OxNodeArea {
  uint32_t size;
  OxNode* (*firstChild)(OxNode* node);
  OxNode* (*next)(OxNode* node);
  int32_t (*typeId)(OxNode* node); /* plug-in records: their type code */
  OxText* (*name)(OxNode* node);   /* new reference */
  OxNode* (*owner)(OxNode* node);  /* the node that holds a shader */
  OxDocument* (*document)(OxNode* node);
  OxBool (*detach)(OxNode* node); /* takes the node out of its list or hierarchy */
  void (*destroy)(OxNode* node);  /* node must be detached; children die with it */
  OxBool (*sendMessage)(OxNode* node, int32_t message, void* data);
} OxNodeArea;

typedef struct OxObjectArea {
  uint32_t size;
  /* The object's tags of type `type`, in tag order, as a host-owned sequence
   * that stays readable (entries unchanged) until the next call, even while
   * the caller destroys the tags in it. `*count` gets the length. */
  OxNode* const* (*tagsOfType)(OxNode* object, int32_t type, int32_t* count);
} OxObjectArea;

typedef struct OxMaterialArea {
  uint32_t size;
  OxChannel* (*channel)(OxNode* material, int32_t index); /* null: no such channel */
  OxNode* (*channelShader)(OxChannel* channel);
  /* Appends the shaders of the material's reflectance layers to `out`. */
  void (*layerShaders)(OxNode* material, OxNodeArray* out);
  void (*update)(OxNode* material, OxBool preview, OxBool rttm);
} OxMaterialArea;

typedef struct OxRenderArea {
  uint32_t size;
  OxNode* (*firstVideopost)(OxNode* renderSettings);
} OxRenderArea;

typedef struct OxNodeArrayArea {
  uint32_t size;
  OxNodeArray* (*create)(void);
  int32_t (*count)(const OxNodeArray* array);
  /* The entry as stored; a destroyed node's handle stays stale, not null. */
  OxNode* (*at)(const OxNodeArray* array, int32_t index);
  void (*clear)(OxNodeArray* array);
  void (*release)(OxNodeArray* array);
} OxNodeArrayArea;

typedef struct OxUndoArea {
  uint32_t size;
  OxBool (*begin)(OxDocument* doc);
  /* Must lie inside begin/end, before the node changes. */
  OxBool (*record)(OxDocument* doc, int32_t kind, OxNode* node, void* data);
  OxBool (*end)(OxDocument* doc);
} OxUndoArea;

typedef struct OxRegistryArea {
  uint32_t size;
  OxNode* (*lookup)(int32_t id, int32_t typeCode); /* a plug-in record or null */
} OxRegistryArea;

typedef struct OxValueArea {
  uint32_t size;
  OxValue* (*create)(void); /* an empty value */
  int32_t (*kind)(const OxValue* value);
  /* The link the value holds when its kind is `kind`; borrowed, valid while
   * the value is unchanged. */
  OxLink* (*link)(const OxValue* value, int32_t kind);
  void (*release)(OxValue* value);
} OxValueArea;

typedef struct OxLinkArea {
  uint32_t size;
  OxLink* (*create)(OxNode* node); /* a weak link the caller owns */
  /* The linked node when it still exists and belongs to `doc`, else null.
   * Safe on links whose node is gone. */
  OxNode* (*target)(const OxLink* link, OxDocument* doc, int32_t flags);
  void (*release)(OxLink* link);
} OxLinkArea;

typedef struct OxDialogCallbacks OxDialogCallbacks;

typedef struct OxElementDesc {
  uint32_t size;
  int32_t kind; /* OX_ELEM_* */
  int32_t id;
  int32_t flags; /* layout flags */
  int32_t width; /* 0: host decides */
  int32_t height;
  const OxText* text;          /* label, entry or menu text; borrowed */
  int32_t extra;               /* border style of statics, extra flags of drop-downs/buttons */
  int32_t customType;          /* OX_ELEM_CUSTOM: the custom element type */
  const OxContainer* settings; /* OX_ELEM_CUSTOM: settings, borrowed */
} OxElementDesc;

typedef struct OxDialogValue {
  uint32_t size;
  int32_t kind; /* OX_DLGVALUE_INT or OX_DLGVALUE_FLOAT */
  double value;
  double min;
  double max;
  double step;
  int32_t format; /* four-character code, 0 for plain integers */
  double min2;
  double max2;
  OxBool quadScale;
  OxBool tristate;
} OxDialogValue;

typedef struct OxDialogArea {
  uint32_t size;
  OxDialog* (*create)(const OxDialogCallbacks* callbacks, void* self);
  void (*destroy)(OxDialog* dialog); /* closes the window first if open */
  /* Adds an element or performs a menu/query kind. `out` (may be null)
   * receives the element of OX_ELEM_CUSTOM. OX_ELEM_IS_OPEN answers the
   * open state and adds nothing. */
  OxBool (*addElement)(OxDialog* dialog, const OxElementDesc* desc, OxElement** out);
  OxBool (*groupBegin)(OxDialog* dialog, int32_t id, int32_t flags, int32_t columns, int32_t rows,
                       const OxText* title, int32_t groupFlags, int32_t width, int32_t height);
  OxBool (*groupEnd)(OxDialog* dialog);
  OxBool (*groupBorder)(OxDialog* dialog, uint32_t style);
  OxBool (*groupSpacing)(OxDialog* dialog, int32_t left, int32_t top, int32_t right, int32_t bottom);
  OxBool (*getInt)(OxDialog* dialog, int32_t id, int32_t* out);
  OxBool (*getNumber)(OxDialog* dialog, int32_t id, double* out);
  OxBool (*setValue)(OxDialog* dialog, int32_t id, const OxDialogValue* value);
  OxBool (*enable)(OxDialog* dialog, int32_t id, OxBool enabled);
  OxBool (*open)(OxDialog* dialog, int32_t type, int32_t pluginId, int32_t subId, int32_t x, int32_t y,
                 int32_t width, int32_t height);
  OxBool (*restore)(OxDialog* dialog, int32_t pluginId, int32_t subId, void* layoutData);
  OxBool (*close)(OxDialog* dialog);
} OxDialogArea;

typedef struct OxGuiArea {
  uint32_t size;
  int32_t (*messageBox)(const OxText* text, int32_t flags); /* OX_MB_ANSWER_* */
  OxBool (*pauseHostActivity)(int32_t a, int32_t b, int32_t c);
} OxGuiArea;

typedef struct OxElementArea {
  uint32_t size;
  OxBool (*redraw)(OxElement* element, int32_t libraryId);
} OxElementArea;

typedef struct OxDrawArea {
  uint32_t size;
  void (*resetPen)(OxArea* area); /* pen from the area's own background colour */
  void (*fillRect)(OxArea* area, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void (*setFont)(OxArea* area, int32_t fontId);
  void (*setTextColors)(OxArea* area, int32_t foreground, int32_t background);
  void (*drawText)(OxArea* area, const OxText* text, int32_t x, int32_t y, int32_t flags);
  int32_t (*textWidth)(OxArea* area, const OxText* text);
  int32_t (*lineHeight)(OxArea* area);
} OxDrawArea;

typedef struct OxContainerArea {
  uint32_t size;
  OxContainer* (*create)(int32_t id);
  OxBool (*setInt)(OxContainer* container, int32_t key, int32_t value);
  OxBool (*setBool)(OxContainer* container, int32_t key, OxBool value);
  void (*clear)(OxContainer* container);   /* empties; the container stays */
  void (*release)(OxContainer* container); /* frees one the caller created */
} OxContainerArea;

typedef struct OxResourceArea {
  uint32_t size;
  OxBool (*load)(const OxText* folder); /* string resources of a "res" folder */
  OxText* (*text)(int32_t id);          /* empty when unknown or not loaded */
  void (*unload)(void);
} OxResourceArea;

typedef struct OxCommandCallbacks OxCommandCallbacks;

typedef struct OxCommandRegistration {
  uint32_t size;
  int32_t pluginId;
  const OxText* name; /* borrowed; the host copies it */
  int32_t infoFlags;
  OxBitmap* icon;     /* borrowed, may be null; the host copies it */
  const OxText* help; /* borrowed */
  int32_t apiVersion; /* the version the module was built for */
  const OxCommandCallbacks* callbacks;
  void* self; /* the command object; the host owns it once registered */
} OxCommandRegistration;

typedef struct OxCommandArea {
  uint32_t size;
  OxBool (*registerCommand)(const OxCommandRegistration* registration);
} OxCommandArea;

typedef struct OxBitmapArea {
  uint32_t size;
  OxBitmap* (*create)(void);
  /* Loads an image file; false when missing or not a decodable image. */
  OxBool (*load)(OxBitmap* bitmap, const OxText* path);
  void (*setScale)(OxBitmap* bitmap, double scale);
  void (*release)(OxBitmap* bitmap);
} OxBitmapArea;

typedef struct OxFileArea {
  uint32_t size;
  OxText* (*directory)(const OxText* path); /* the folder that holds `path` */
  OxText* (*join)(const OxText* folder, const OxText* name);
  OxBool (*openWithSystem)(const OxText* path);
} OxFileArea;

/* Host libraries: a size-prefixed table found by id. */
typedef struct OxLibraryHeader {
  uint32_t size;
} OxLibraryHeader;

typedef struct OxLibraryArea {
  uint32_t size;
  const OxLibraryHeader* (*find)(int32_t libraryId); /* null when missing */
} OxLibraryArea;

typedef struct OxEventArea {
  uint32_t size;
  void (*sceneChanged)(int32_t flags);
} OxEventArea;

/* Library OX_LIBRARY_TREEVIEW. */
typedef struct OxTreeModelCallbacks OxTreeModelCallbacks;

typedef struct OxTreeViewLibrary {
  uint32_t size;
  OxBool (*setLayout)(OxElement* tree, int32_t columns, const OxContainer* layout);
  /* Binds the tree to `root` (the module's, opaque to the host), read through
   * `model` with `self`. */
  OxBool (*setRoot)(OxElement* tree, void* root, const OxTreeModelCallbacks* model, void* self,
                    void* userData);
  void (*refresh)(OxElement* tree);
} OxTreeViewLibrary;

/* Library OX_LIBRARY_LAYERSHADER. */
typedef struct OxLayerShaderLibrary {
  uint32_t size;
  OxLayer* (*first)(OxNode* layerShader);
  OxLayer* (*next)(OxLayer* layer);
  int32_t (*kind)(OxLayer* layer);
  OxBool (*parameter)(OxLayer* layer, int32_t id, OxValue* out);
} OxLayerShaderLibrary;

/* The areas, by index into OxHostTables.areas. */
enum {
  OX_AREA_MEMORY = 0,
  OX_AREA_TEXT = 1,
  OX_AREA_CONSOLE = 2,
  OX_AREA_DOCUMENT = 3,
  OX_AREA_NODE = 4,
  OX_AREA_OBJECT = 5,
  OX_AREA_MATERIAL = 6,
  OX_AREA_RENDER = 7,
  OX_AREA_NODE_ARRAY = 8,
  OX_AREA_UNDO = 9,
  OX_AREA_REGISTRY = 10,
  OX_AREA_VALUE = 11,
  OX_AREA_LINK = 12,
  OX_AREA_DIALOG = 13,
  OX_AREA_GUI = 14,
  OX_AREA_ELEMENT = 15,
  OX_AREA_DRAW = 16,
  OX_AREA_CONTAINER = 17,
  OX_AREA_RESOURCE = 18,
  OX_AREA_COMMAND = 19,
  OX_AREA_BITMAP = 20,
  OX_AREA_FILE = 21,
  OX_AREA_LIBRARY = 22,
  OX_AREA_EVENT = 23,
  /* 24 to 36: areas of the host this module does not use; may be null. */
  OX_AREA_COUNT = 37
};

/* Handed over with entry action 1. */
typedef struct OxHostTables {
  int32_t apiVersion;
  const void* areas[OX_AREA_COUNT]; /* each starts with uint32_t size */
} OxHostTables;

/* ---- callback tables the module fills ------------------------------------- */

struct OxCommandCallbacks {
  uint32_t size;
  void (*destroy)(void* self); /* the host is done with the object; frees it */
  OxBool (*execute)(void* self, OxDocument* doc);
  OxBool (*unused3)(void* self);
  OxBool (*unused4)(void* self);
  int32_t (*state)(void* self, OxDocument* doc);
  OxBool (*unused6)(void* self);
  OxBool (*restoreLayout)(void* self, void* layoutData);
  OxText* (*text)(void* self); /* new reference */
  OxBool (*message)(void* self, int32_t id, void* data);
};

/* One entry for every dialog message: `id` is OX_DLGMSG_*, `a` its argument
 * (element id, notification id), `data` its payload. The answer's meaning
 * depends on the message (true/false for most, refuse for ask-close). */
struct OxDialogCallbacks {
  uint32_t size;
  int32_t (*message)(void* self, int32_t id, int32_t a, void* data);
};

typedef struct OxDrawRequest {
  uint32_t size;
  OxArea* area;
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
} OxDrawRequest;

/* The tree view's questions about the module's rows. `root` and rows are the
 * module's pointers, opaque to the host; a row handed back to the model is
 * always one the model handed out in the current enumeration. */
struct OxTreeModelCallbacks {
  uint32_t size;
  void* (*firstRow)(void* self, void* root, void* userData);
  void* (*firstChild)(void* self, void* root, void* userData, void* row);
  void* (*nextRow)(void* self, void* root, void* userData, void* row);
  void* (*previousRow)(void* self, void* root, void* userData, void* row);
  int32_t (*cellWidth)(void* self, void* root, void* userData, void* row, int32_t column, OxArea* area);
  int32_t (*headerWidth)(void* self, void* root, void* userData, int32_t column, OxArea* area);
  int32_t (*lineHeight)(void* self, void* root, void* userData, void* row, int32_t column, OxArea* area);
  void (*drawCell)(void* self, void* root, void* userData, void* row, int32_t column,
                   const OxDrawRequest* request, int32_t background);
  OxBool (*drawHeader)(void* self, void* root, void* userData, int32_t column, const OxDrawRequest* request);
  OxBool (*isSelected)(void* self, void* root, void* userData, void* row);
  OxBool (*isOpened)(void* self, void* root, void* userData, void* row);
  OxText* (*rowName)(void* self, void* root, void* userData, void* row); /* new reference */
  int64_t (*rowId)(void* self, void* root, void* userData, void* row);
  int32_t (*rowDragType)(void* self, void* root, void* userData, void* row);
  void (*rowContainer)(void* self, void* root, void* userData, void* row, int32_t what, OxContainer* out);
  int32_t (*rowChosen)(void* self, void* root, void* userData, void* row, int32_t column, int32_t flags);
};

/* ---- what the module exports ---------------------------------------------- */

/* `g_maxon`: the module's identity for the host's module registry. */
typedef struct OxModuleInfo {
  uint32_t size;
  const char* moduleId; /* reverse-domain form */
  int32_t apiVersion;   /* the version the module was built for */
} OxModuleInfo;

/* `g_CpuYieldDelegate`: the host may call `yield` from long module work; the
 * module sets it to its own no-op. */
typedef struct OxCpuYieldDelegate {
  uint32_t size;
  void (*yield)(void);
} OxCpuYieldDelegate;

/* The entry point. Action 1: p1 = const OxHostTables*, p2 = module file path
 * (const char*, UTF-8). Action 6: p1 = message code (intptr_t), p2 = data. */
typedef int32_t (*OxEntryPoint)(int32_t action, void* p1, void* p2, void* p3);

#define OX_ENTRY_SYMBOL "c4d_main"
#define OX_MODULE_INFO_SYMBOL "g_maxon"
#define OX_YIELD_SYMBOL "g_CpuYieldDelegate"

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* OX_ABI_H */
