// The scan run all four kinds share: list, removal as one undo step, the
// warning question, identifier 0 and truncation, no document, identification
// by the kind's own driver and registry type, change notifications.
#include "runtime/runtime.h"
#include "scan/scan_fixture.h"
#include "scene/world.h"
#include "ui/gui.h"

#include <algorithm>
#include <optional>

namespace scantest {
namespace {

constexpr int32_t kId = 1077777;

// One instance of each kind (two videoposts), plus nodes of other types.
constexpr const char* kStudio = R"({
  "plugins": [],
  "objects": [
    {"name": "Cube", "type": 5159, "tags": [{"name": "Phong", "type": 5612}, {"name": "Wob", "type": 1077777}],
     "children": [{"name": "Gz", "type": 1077777}]}],
  "materials": [{"name": "Mat", "type": 5703, "channels": {"0": {"name": "Sh", "type": 1077777},
                                                            "1": {"name": "Noise", "type": 1011116}}}],
  "renderSettings": {"videoposts": [{"name": "Glow", "type": 1077777}, {"name": "Other", "type": 1000},
                                    {"name": "Glow2", "type": 1077777}]}
})";

struct KindCase {
  const char* name;
  int32_t type;
  standin::CensusKind census;
  std::vector<std::string> rows;
  std::string notFound; // the row for identifier kId
  std::string notFoundZero;
  const char* identifiedAs; // the message's middle
  std::string ownName;      // the name reported without a registry record
  int32_t registryType;
  size_t notifications; // of one list run over kStudio
};

void PrintTo(const KindCase& c, std::ostream* os) {
  *os << c.name;
}

const KindCase kKinds[] = {
    {"Tag",
     kTag,
     standin::CensusKind::Tag,
     {"Cube | Wob"},
     "Tag plugin 1077777 not found. | ",
     "Tag plugin 0 not found. | ",
     " is a Tag plugin with the default name ",
     "Wob",
     6,
     2},
    {"Shader",
     kShader,
     standin::CensusKind::Shader,
     {"Mat | Color | No"},
     "Shader plugin 1077777 not found. | -- | --",
     "Shader plugin 0 not found. | -- | --",
     " is a Shader plugin with the default name ",
     "Sh",
     1,
     1},
    {"Object",
     kObject,
     standin::CensusKind::Object,
     {"Gz"},
     "Object plugin 1077777 not found.",
     "Object plugin 0 not found.",
     " is an Object plugin with the default name ",
     "Gz",
     5,
     2},
    {"VideoPost",
     kVideoPost,
     standin::CensusKind::Videopost,
     {"Glow", "Glow2"},
     "VP plugin 1077777 not found.",
     "VP plugin 0 not found.",
     " is a VideoPost plugin with the default name ",
     "Glow",
     8,
     1},
};

class KindTest : public ScanTest, public ::testing::WithParamInterface<KindCase> {
protected:
  // How many nodes of id kId the census finds per kind.
  static std::vector<size_t> Instances() {
    std::vector<size_t> counts(4, 0);
    for (const standin::CensusEntry& entry : standin::Census())
      if (entry.typeId == kId)
        counts[static_cast<size_t>(entry.kind)] = entry.count;
    return counts;
  }
};

TEST_P(KindTest, ListThenRemoveAsOneUndoStep) {
  Load(kStudio);
  const size_t changes = standin::SceneChangedCount();
  Process({.type = GetParam().type, .action = kList, .id = kId});
  EXPECT_EQ(Rows(), GetParam().rows);
  // One notification per walk call of the walk's definition.
  EXPECT_EQ(standin::SceneChangedCount() - changes, GetParam().notifications);

  const std::string before = Saved();
  std::vector<size_t> expected = Instances();
  expected[static_cast<size_t>(GetParam().census)] = 0;
  Process({.type = GetParam().type, .action = kRemove, .id = kId, .warn = true}, {true});
  EXPECT_EQ(Rows(), std::vector<std::string>{GetParam().notFound});
  EXPECT_EQ(Instances(), expected) << "only the chosen kind goes";
  ASSERT_TRUE(standin::Undo());
  EXPECT_EQ(Saved(), before);
  EXPECT_FALSE(standin::Undo()) << "the removal must be one undo step";
}

TEST_P(KindTest, DeclinedWarningChangesNothing) {
  Load(kStudio);
  Process({.type = GetParam().type, .action = kList, .id = kId});
  const std::string before = Saved();
  const size_t changes = standin::SceneChangedCount();
  Process({.type = GetParam().type, .action = kRemove, .id = kId, .warn = true}, {false});
  EXPECT_EQ(Printed(),
            (std::vector<std::string>{"message(36): Are you sure you want to delete the plugin instances?",
                                      "answer: no"}));
  EXPECT_EQ(Rows(), GetParam().rows) << "the rows of the last list stay";
  EXPECT_EQ(Saved(), before);
  EXPECT_EQ(standin::SceneChangedCount(), changes);
  EXPECT_FALSE(standin::Undo());
}

TEST_P(KindTest, RemovalWithoutWarningAsksNothing) {
  Load(kStudio);
  Process({.type = GetParam().type, .action = kRemove, .id = kId, .warn = false});
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Rows(), std::vector<std::string>{GetParam().notFound});
}

TEST_P(KindTest, IdentifierZeroWalksNothing) {
  Load(kStudio);
  const std::string before = Saved();
  const size_t changes = standin::SceneChangedCount();
  for (int32_t action : {kList, kRemove}) {
    Process({.type = GetParam().type, .action = action, .id = 0});
    EXPECT_EQ(Rows(), std::vector<std::string>{GetParam().notFoundZero});
  }
  EXPECT_EQ(standin::SceneChangedCount(), changes);
  EXPECT_EQ(Saved(), before);
}

TEST_P(KindTest, IdentifierIsTruncatedTowardZero) {
  Load(kStudio);
  Process({.type = GetParam().type, .action = kList, .id = kId + 0.9});
  EXPECT_EQ(Rows(), GetParam().rows);
  Process({.type = GetParam().type, .action = kList, .id = -3.7});
  std::string row = GetParam().notFoundZero;
  row.replace(row.find(" 0 "), 3, " -3 ");
  EXPECT_EQ(Rows(), std::vector<std::string>{row});
}

TEST_P(KindTest, WithoutADocumentTheRunEndsNotFound) {
  Load(kStudio);
  Process({.type = GetParam().type, .action = kList, .id = kId});
  standin::CloseAllDocuments();
  Process({.type = GetParam().type, .action = kRemove, .id = kId});
  EXPECT_EQ(Rows(), std::vector<std::string>{GetParam().notFound});
}

// Each kind alone in the scene: its own driver identifies it; the registry
// is asked with the kind's type code.
TEST_P(KindTest, IdentifiesItsOwnKind) {
  Load(kStudio);
  const KindCase& kind = GetParam();
  // Take the other kinds out of the way with a removal each.
  for (const KindCase& other : kKinds)
    if (other.type != kind.type)
      Process({.type = other.type, .action = kRemove, .id = kId});
  const std::string message = "message(48): Plugin 1077777" + std::string(kind.identifiedAs);

  // A record of another type does not name this kind.
  standin::RegisterPlugin(kId, kind.registryType == 6 ? 8 : 6, "Wrong Kind");
  Process({.type = kTag, .action = kIdentify, .id = kId});
  EXPECT_EQ(Messages(), std::vector<std::string>{message + kind.ownName + "."});

  standin::RegisterPlugin(kId, kind.registryType, "Registered Name");
  Process({.type = kTag, .action = kIdentify, .id = kId});
  EXPECT_EQ(Messages(), std::vector<std::string>{message + "Registered Name."});
}

INSTANTIATE_TEST_SUITE_P(Kinds, KindTest, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanTest, IdentificationStopsAtTheFirstKindFound) {
  Load(kStudio);
  Process({.type = kObject, .action = kIdentify, .id = kId});
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"message(48): Plugin 1077777 is a Tag plugin with the default "
                                     "name Wob."});
  EXPECT_EQ(Rows(), std::vector<std::string>{}) << "identification draws no rows";
}

// Whichever of the run's allocations fails, the run ends cleanly: a row
// that finds no room is dropped and the walk goes on with the next.
TEST_F(ScanTest, RowsThatFindNoRoomAreDropped) {
  std::vector<std::string> all;
  for (int i = 0; i < 40; ++i)
    all.push_back("O" + std::to_string(i) + " | T" + std::to_string(i));

  bool dropped = false;
  for (size_t n = 1; n <= 8; ++n) {
    // A fresh host and module each time, so that the rows' storage starts
    // empty.
    host_.reset();
    host_ = std::make_unique<standin::Host>();
    ASSERT_TRUE(host_->LoadModule(ORPHANEX_MODULE_PATH)) << host_->Error();
    standin::NewDocument();
    for (int i = 0; i < 40; ++i) {
      OxNode* object = standin::AddObject(standin::ActiveDocument(), nullptr, "O" + std::to_string(i), 5100);
      ASSERT_NE(standin::AddTag(object, "T" + std::to_string(i), kId), nullptr);
    }
    standin::FailAllocationAfter(n);
    Process({.type = kTag, .action = kList, .id = kId});
    standin::FailAllocationAfter(0);
    const std::vector<std::string> rows = Rows();
    if (rows == std::vector<std::string>{"Tag plugin 1077777 not found. | "})
      continue; // nothing could be kept at all
    ASSERT_GE(rows.size() + 1, all.size()) << "allocation " << n;
    if (rows.size() + 1 == all.size()) {
      dropped = true;
      std::vector<std::string> rest = all;
      rest.erase(std::mismatch(rows.begin(), rows.end(), rest.begin()).second);
      EXPECT_EQ(rows, rest) << "allocation " << n;
    }
  }
  EXPECT_TRUE(dropped) << "no allocation failure dropped a row";
}

TEST_F(ScanTest, VideopostsWithoutRenderSettings) {
  Load(R"({"objects": [], "renderSettings": null})");
  Process({.type = kVideoPost, .action = kList, .id = kId});
  EXPECT_EQ(Rows(), std::vector<std::string>{"VP plugin 1077777 not found."});
  Process({.type = kVideoPost, .action = kIdentify, .id = kId});
  EXPECT_EQ(Messages(), std::vector<std::string>{"message(48): Plugin 1077777 could not be identifed. Try "
                                                 "searching the internet for the plugin ID value or name."});
}

} // namespace
} // namespace scantest
