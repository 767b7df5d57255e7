// Drives the plug-in's scans through the stand-in host as a person would:
// load a scene, open the dialog, set its elements, press "Process", answer
// the question, and read back the list, the message boxes and the scene.
#pragma once

#include "host/ox_abi.h"
#include "runtime/host.h"
#include "support/dialog_fixture.h"

#include <cstddef>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace scantest {

enum Kind : int32_t { kTag = 0, kShader = 1, kObject = 2, kVideoPost = 3 };
enum Action : int32_t { kIdentify = 0, kList = 1, kRemove = 2 };

struct Options {
  int32_t type = kTag;
  int32_t action = kList;
  double id = 0;
  int32_t scope = 0;
  bool warn = false; // only with kRemove
  bool keep = false; // only with kRemove
};

class ScanTest : public test_support::DialogFixture, public ::testing::Test {
protected:
  void SetUp() override { Start(ORPHANEX_MODULE_PATH); }
  void TearDown() override { Stop(); }

  // Sets the dialog as `run` says and presses "Process"; `answers` are queued
  // for the Yes/No questions first.
  void Process(const Options& run, std::vector<bool> answers = {});
  // Load, Rows (header left out) and Messages (since the last Process) come
  // from DialogFixture.
  // Every line printed since the last Process.
  const std::vector<std::string>& Printed() const { return printed_; }
  std::string Saved() const; // the active document as a scene file
  std::string Scene() const; // `show scene`, one line per item
  // The object whose names from the top level joined by '/' are `path`.
  OxNode* Object(std::string_view path) const;
  size_t ObjectCount() const; // in the active document
};

// A chain of `depth` objects, each the only child of the one before.
// `objectType` is every object's type; with `tagType` != 0 each object
// carries one tag of that type. Names: "O<depth index>", tags "T<index>".
void BuildChain(OxDocument* doc, size_t depth, int32_t objectType, int32_t tagType);

} // namespace scantest
