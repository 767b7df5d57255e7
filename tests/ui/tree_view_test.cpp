// The tree view: enumeration, the rows handed to the model, recorded
// drawing, `show list`, choosing rows, and the drawing areas' validation.
#include "fake_module.h"

namespace uitest {
namespace {

using standin::BreachCount;
using standin::DrawOp;

class TreeViewTest : public UiTest {
protected:
  void OpenWith(std::vector<Row> rows) {
    model.rows = std::move(rows);
    dialog.model = &model;
    ASSERT_TRUE(dialog.Open());
  }
  FakeModel model;
  FakeDialog dialog;
};

TEST_F(TreeViewTest, RowsAreListedByTheModelsOrderAndAGapEndsTheList) {
  struct Case {
    std::vector<Row> rows;
    std::vector<std::string> lines;
  } cases[] = {
      {{{0, "Cube", "Wobble"}, {1, "Sphere", "Wobble.1"}, {2, "Cone", ""}},
       {"Object | Tag", "Cube | Wobble", "Sphere | Wobble.1", "Cone | "}},
      // Stored out of order: the model's NextRow decides.
      {{{1, "B", "b"}, {0, "A", "a"}, {2, "C", "c"}}, {"Object | Tag", "B | b", "C | c"}},
      {{{0, "A", "a"}, {1, "B", "b"}, {3, "D", "d"}}, {"Object | Tag", "A | a", "B | b"}},
      {{}, {"Object | Tag"}},
  };
  for (const Case& c : cases) {
    FakeDialog d;
    FakeModel m;
    m.rows = c.rows;
    d.model = &m;
    ASSERT_TRUE(d.Open());
    EXPECT_EQ(standin::ListLines(), c.lines);
    EXPECT_TRUE(m.foreignRows.empty());
    EXPECT_EQ(BreachCount(), 0u);
    ASSERT_TRUE(d.Close());
  }
}

TEST_F(TreeViewTest, ALoopInNextRowIsABreachAndEndsTheList) {
  OpenWith({{0, "A", "a"}, {1, "B", "b"}, {2, "C", "c"}});
  model.loopAfterSecond = true;
  EXPECT_EQ(standin::ListLines(), (std::vector<std::string>{"Object | Tag", "A | a", "B | b"}));
  EXPECT_EQ(BreachCount(), 1u);
  EXPECT_TRUE(model.foreignRows.empty());
}

TEST_F(TreeViewTest, OnlyRowsOfTheCurrentEnumerationReachTheModel) {
  OpenWith({{0, "A", "a"}, {1, "B", "b"}});
  ASSERT_EQ(standin::ListLines().size(), 3u);
  // The rows move (the array grows and reallocates); the next walk must not
  // hand back the old ones.
  model.rows.reserve(model.rows.capacity() * 4);
  model.rows.push_back({2, "C", "c"});
  ASSERT_TRUE(standin::Choose(2).ok);
  ASSERT_EQ(model.chosen.size(), 1u);
  EXPECT_EQ(model.chosen[0], &model.rows[2]);
  EXPECT_EQ(model.chosenColumn, 0);
  EXPECT_TRUE(model.foreignRows.empty());
  EXPECT_EQ(standin::ListLines().size(), 4u);
  EXPECT_TRUE(model.foreignRows.empty());
}

TEST_F(TreeViewTest, ChooseNeedsARowAndAnEnabledList) {
  OpenWith({{0, "A", "a"}, {1, "B", "b"}});
  auto outcome = standin::Choose(2);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.reason, "the list has 2 row(s)");
  EXPECT_EQ(standin::Choose(-1).reason, "row numbers start at 0");
  areas.dialog->enable(dialog.handle, kList, 0);
  EXPECT_EQ(standin::Choose(0).reason, "the list (element 10000) is disabled");
  EXPECT_TRUE(model.chosen.empty());
  areas.dialog->enable(dialog.handle, kList, 1);
  ASSERT_TRUE(standin::Choose(1).ok);
  EXPECT_EQ(model.chosen, (std::vector<const Row*>{&model.rows[1]}));
}

TEST_F(TreeViewTest, ReleasingTheLentRowContainerIsABreachClearingIsNot) {
  OpenWith({{0, "A", "a"}});
  const size_t containers = standin::LiveContainers();
  ASSERT_TRUE(standin::Choose(0).ok);
  EXPECT_EQ(BreachCount(), 0u);
  model.releaseLentContainer = true;
  ASSERT_TRUE(standin::Choose(0).ok);
  EXPECT_EQ(BreachCount(), 1u);
  EXPECT_EQ(standin::LiveContainers(), containers) << "the host frees what it lent";
}

TEST_F(TreeViewTest, DrawingIsRecordedCellByCell) {
  OpenWith({{0, "Cube", "Wobble"}, {1, "Sphere", "W"}});
  model.nameWidth = 5; // cells wider than the header: the widest wins
  model.resetPen = true;
  ASSERT_TRUE(standin::VisibleList().has_value());
  const standin::TreeDrawing& drawing = standin::LastTreeDrawing();
  const int32_t nameWidth = 10 * 7 + 8 + 5, tagWidth = 5 * 7 + 8;
  EXPECT_EQ(drawing.columns, (std::vector<int32_t>{FourCC("name"), FourCC("tag")}));
  EXPECT_EQ(drawing.widths, (std::vector<int32_t>{nameWidth, tagWidth}));
  EXPECT_EQ(drawing.rowHeights, (std::vector<int32_t>{14, 14}));
  ASSERT_EQ(drawing.calls.size(), 6u);

  struct Expect {
    bool header;
    int32_t row, x, y, width;
    const char* text;
  } expected[] = {
      {true, -1, 0, 0, nameWidth, "Object"},  {true, -1, nameWidth, 0, tagWidth, "Tag"},
      {false, 0, 0, 14, nameWidth, "Cube"},   {false, 0, nameWidth, 14, tagWidth, "Wobble"},
      {false, 1, 0, 28, nameWidth, "Sphere"}, {false, 1, nameWidth, 28, tagWidth, "W"},
  };
  for (size_t i = 0; i < drawing.calls.size(); ++i) {
    const standin::DrawCall& call = drawing.calls[i];
    const Expect& e = expected[i];
    EXPECT_EQ(call.header, e.header) << i;
    EXPECT_EQ(call.row, e.row) << i;
    EXPECT_EQ(call.x, e.x) << i;
    EXPECT_EQ(call.y, e.y) << i;
    EXPECT_EQ(call.width, e.width) << i;
    EXPECT_EQ(call.height, 14) << i;
    ASSERT_EQ(call.ops.size(), 5u) << i;
    EXPECT_EQ(call.ops[0].kind, DrawOp::ResetPen);
    EXPECT_EQ(call.ops[1].kind, DrawOp::FillRect);
    EXPECT_EQ(std::vector<int32_t>({call.ops[1].a, call.ops[1].b, call.ops[1].c, call.ops[1].d}),
              std::vector<int32_t>({e.x, e.y, e.x + e.width - 1, e.y + 13}))
        << i;
    EXPECT_EQ(call.ops[2].kind, DrawOp::SetFont);
    EXPECT_EQ(call.ops[2].a, 1);
    EXPECT_EQ(call.ops[3].kind, DrawOp::SetTextColors);
    EXPECT_EQ(std::make_pair(call.ops[3].a, call.ops[3].b), std::make_pair(1003, 1000));
    EXPECT_EQ(call.ops[4].kind, DrawOp::DrawText);
    EXPECT_EQ(std::make_pair(call.ops[4].a, call.ops[4].b), std::make_pair(e.x + 4, e.y)) << i;
    EXPECT_EQ(call.ops[4].text, e.text) << i;
  }
  EXPECT_EQ(standin::LiveAreas(), 0u) << "areas live for one call";
  EXPECT_EQ(BreachCount(), 0u);
}

TEST_F(TreeViewTest, AModelThatDrawsNothingShowsAnEmptyHeaderAndEmptyRows) {
  OpenWith({{0, "A", "a"}});
  model.drawNothing = true;
  EXPECT_EQ(standin::ListLines(), (std::vector<std::string>{"", ""}));
  const auto cells = standin::VisibleList();
  ASSERT_TRUE(cells.has_value());
  EXPECT_FALSE(cells->headerDrawn);
  EXPECT_EQ(cells->rows.size(), 1u);
}

TEST_F(TreeViewTest, AnAreaUsedAfterItsCallIsStale) {
  OpenWith({{0, "A", "a"}});
  OxArea* kept = nullptr;
  static OxArea** slot;
  slot = &kept;
  OxTreeModelCallbacks keeping = kModel;
  keeping.drawHeader = [](void*, void*, void*, int32_t, const OxDrawRequest* r) noexcept -> OxBool {
    *slot = r->area;
    return 1;
  };
  ASSERT_TRUE(areas.tree->setRoot(dialog.tree, &model.rows, &keeping, &model, nullptr));
  ASSERT_FALSE(standin::ListLines().empty());
  ASSERT_NE(kept, nullptr);
  Txt t("x");
  const size_t before = BreachCount();
  areas.draw->resetPen(kept);
  areas.draw->fillRect(kept, 0, 0, 1, 1);
  areas.draw->setFont(kept, 1);
  areas.draw->setTextColors(kept, 1, 2);
  areas.draw->drawText(kept, t, 0, 0, 0);
  EXPECT_EQ(areas.draw->textWidth(kept, t), 0);
  EXPECT_EQ(areas.draw->lineHeight(kept), 0);
  EXPECT_EQ(BreachCount(), before + 7);
}

TEST_F(TreeViewTest, TextWidthCountsCodePoints) {
  OpenWith({{0, "A", "a"}});
  static int32_t widths[3];
  OxTreeModelCallbacks measuring = kModel;
  measuring.headerWidth = [](void*, void*, void*, int32_t, OxArea* area) noexcept -> int32_t {
    const OxDrawArea* draw = GetAreas().draw;
    Txt plain("abc"), accented("\xc3\xa9t\xc3\xa9"), empty("");
    widths[0] = draw->textWidth(area, plain);
    widths[1] = draw->textWidth(area, accented);
    widths[2] = draw->textWidth(area, empty);
    return 0;
  };
  ASSERT_TRUE(areas.tree->setRoot(dialog.tree, &model.rows, &measuring, &model, nullptr));
  ASSERT_FALSE(standin::ListLines().empty());
  EXPECT_EQ(widths[0], 21);
  EXPECT_EQ(widths[1], 21);
  EXPECT_EQ(widths[2], 0);
}

TEST_F(TreeViewTest, LayoutReadsColumnsInContainerOrderAndRefusesMisuse) {
  OpenWith({{0, "A", "a"}});
  OxContainer* layout = areas.container->create(-1);
  areas.container->setInt(layout, FourCC("tag"), FourCC("user"));
  areas.container->setInt(layout, FourCC("name"), FourCC("user"));
  areas.container->setInt(layout, FourCC("tag"), FourCC("user")); // replaced in place
  ASSERT_TRUE(areas.tree->setLayout(dialog.tree, 2, layout));
  EXPECT_EQ(standin::ListLines(), (std::vector<std::string>{"Tag | Object", "a | A"}));
  ASSERT_TRUE(areas.tree->setLayout(dialog.tree, 1, layout));
  EXPECT_EQ(standin::ListLines(), (std::vector<std::string>{"Tag", "a"}));
  EXPECT_EQ(BreachCount(), 0u);

  EXPECT_FALSE(areas.tree->setLayout(dialog.tree, 3, layout)); // more than it holds
  EXPECT_FALSE(areas.tree->setLayout(dialog.tree, 1, nullptr));
  EXPECT_FALSE(areas.tree->setRoot(dialog.tree, nullptr, nullptr, nullptr, nullptr));
  EXPECT_FALSE(areas.element->redraw(dialog.tree, 42)); // not its library
  EXPECT_EQ(BreachCount(), 4u);
  EXPECT_EQ(standin::ListLines(), (std::vector<std::string>{"Tag", "a"})) << "misuse changed nothing";
  areas.container->release(layout);
}

TEST_F(TreeViewTest, ContainersKeepInsertionOrderAndRefuseStaleHandles) {
  OxContainer* c = areas.container->create(7);
  EXPECT_TRUE(areas.container->setBool(c, 3, 5));
  EXPECT_TRUE(areas.container->setInt(c, 1, -4));
  EXPECT_TRUE(areas.container->setInt(c, 3, 9));
  const auto entries = standin::ContainerEntries(c);
  ASSERT_TRUE(entries.has_value());
  ASSERT_EQ(entries->size(), 2u);
  EXPECT_EQ((*entries)[0].key, 3);
  EXPECT_FALSE((*entries)[0].isBool);
  EXPECT_EQ((*entries)[0].value, 9);
  EXPECT_EQ((*entries)[1].key, 1);
  EXPECT_EQ((*entries)[1].value, -4);
  areas.container->clear(c);
  EXPECT_TRUE(standin::ContainerEntries(c)->empty());
  areas.container->release(c);
  EXPECT_EQ(BreachCount(), 0u);
  areas.container->release(c);
  areas.container->clear(c);
  EXPECT_FALSE(areas.container->setInt(c, 1, 1));
  EXPECT_EQ(BreachCount(), 3u);
  areas.container->release(nullptr);
  EXPECT_EQ(BreachCount(), 3u);
  EXPECT_EQ(standin::LiveContainers(), 0u);
}

// ---- message boxes ------------------------------------------------------------

struct BoxCase {
  const char* name;
  std::vector<bool> queued;
  int32_t flags;
  const char* text;
  int32_t answer;
  std::vector<std::string> printed;
};
// Names the case in test listings instead of dumping its bytes.
void PrintTo(const BoxCase& c, std::ostream* os) {
  *os << c.name;
}

class MessageBoxTest : public UiTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(MessageBoxTest, PrintsAndAnswers) {
  const BoxCase& c = GetParam();
  for (bool yes : c.queued)
    standin::QueueAnswer(yes);
  Txt text(c.text);
  EXPECT_EQ(areas.gui->messageBox(text, c.flags), c.answer);
  EXPECT_EQ(printed, c.printed);
  EXPECT_EQ(BreachCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MessageBoxTest,
    ::testing::Values(BoxCase{"Notice", {true}, OX_MB_OK, "Done.", 1, {"message(48): Done."}},
                      BoxCase{"NoticeWithLineBreaks", {}, OX_MB_OK, "a\nb\n", 1, {"message(48): a\\nb\\n"}},
                      BoxCase{"QuestionYes",
                              {true},
                              OX_MB_YESNO,
                              "Sure?",
                              OX_MB_ANSWER_YES,
                              {"message(36): Sure?", "answer: yes"}},
                      BoxCase{"QuestionNo",
                              {false, true},
                              OX_MB_YESNO,
                              "Sure?",
                              OX_MB_ANSWER_NO,
                              {"message(36): Sure?", "answer: no"}},
                      BoxCase{"QuestionUnanswered",
                              {},
                              OX_MB_YESNO,
                              "Sure?",
                              OX_MB_ANSWER_NO,
                              {"message(36): Sure?", "question unanswered", "answer: no"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UiTest, QueuedAnswersAreTakenInOrderAndAProviderGoesFirst) {
  standin::QueueAnswer(false);
  standin::QueueAnswer(true);
  Txt text("Delete?");
  EXPECT_EQ(areas.gui->messageBox(text, OX_MB_OK), 1);
  EXPECT_EQ(standin::QueuedAnswers(), 2u) << "a notice takes no answer";
  std::vector<std::string> asked;
  standin::SetAnswerProvider([&](std::string_view t) {
    asked.emplace_back(t);
    return true;
  });
  EXPECT_EQ(areas.gui->messageBox(text, OX_MB_YESNO), OX_MB_ANSWER_YES);
  EXPECT_EQ(asked, (std::vector<std::string>{"Delete?"}));
  EXPECT_EQ(standin::QueuedAnswers(), 2u);
  standin::SetAnswerProvider(nullptr);
  EXPECT_EQ(areas.gui->messageBox(text, OX_MB_YESNO), OX_MB_ANSWER_NO);
  EXPECT_EQ(areas.gui->messageBox(text, OX_MB_YESNO), OX_MB_ANSWER_YES);
  EXPECT_EQ(standin::QueuedAnswers(), 0u);
  // A stale text is a breach, and nothing is shown.
  OxText* gone = standin::NewText("gone");
  standin::ReleaseText(gone, "test");
  printed.clear();
  EXPECT_EQ(areas.gui->messageBox(gone, OX_MB_OK), 0);
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].rfind("breach: MessageBox: ", 0), 0u) << printed[0];
  EXPECT_EQ(BreachCount(), 1u);
}

} // namespace
} // namespace uitest
