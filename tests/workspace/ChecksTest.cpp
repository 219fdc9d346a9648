// The checks of a translation against its source: what counts as a
// placeholder, an accelerator, an ending and a line break, and the exact
// words of each finding. Texts are windows-1250 bytes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "workspace/Checks.h"

namespace {

using workspace::CheckKind;
using workspace::CheckTranslation;
using workspace::Finding;

Finding P(std::string message) { return {CheckKind::Placeholders, std::move(message)}; }
Finding A(std::string message) { return {CheckKind::Accelerator, std::move(message)}; }
Finding E(std::string message) { return {CheckKind::Edges, std::move(message)}; }
Finding L(std::string message) { return {CheckKind::LineBreaks, std::move(message)}; }

struct Case {
  std::string source;
  std::string translation;
  std::vector<Finding> expected;
};

TEST(ChecksTest, FindsWhatTheTranslationLostOrGained) {
  const std::vector<Case> cases = {
      // Placeholders: what is one, and when order matters.
      {"%d%%done", "hotovo %d %%", {}},
      {"%d items", "%% polo\x9Eiek", {P("translation lacks %d")}},
      {"100 % done, 50% off", "hotovo na 100 %, z\xBE" "ava 50%", {}},
      {"%1$s of %2$s", "%2$s z %1$s", {}},
      {"%s has %d files", "%d s\xFA" "borov m\xE1 %s", {P("placeholders in another order: %d %s")}},
      {"%1 of {0}", "{0} z %1", {}},
      {"%1 of {0}", "z %1", {P("translation lacks {0}")}},
      {"%1 files, %1$s", "%1$s, %1 s\xFA" "borov", {}},
      {"%1$s", "%1", {P("translation lacks %1$s"), P("translation has an extra %1")}},
      {"%5d files, %1 left", "%1 zost\xE1va, %5d s\xFA" "borov", {}},
      {"%5.2f MB", "%.2f MB", {P("translation lacks %5.2f"), P("translation has an extra %.2f")}},
      {"%d of %d", "%d", {P("translation lacks %d")}},
      {"%d %s %d", "%s", {P("translation lacks %d"), P("translation lacks %d")}},
      {"%I64d %lld %-10s %*d %u %x %c %p", "%I64d %-10s %*d %u %x %c %p %ld",
       {P("translation lacks %lld"), P("translation has an extra %ld")}},
      // Accelerators: "&&" is an ampersand, a lone "&" at the end is one.
      {"&Open", "Otvori\x9D", {A("translation lacks the accelerator &")}},
      {"Save && &Close", "Ulo\x9Ei\x9D && zavrie\x9D", {A("translation lacks the accelerator &")}},
      {"Drag && drop", "\x8D" "ahaj &a pus\x9D",
       {A("translation has an accelerator & the source lacks")}},
      {"&File &Edit", "&S\xFA" "bor && &\xDApravy &",
       {A("translation has 3 accelerators &, source 2")}},
      // Edges: spaces at each end and the ending mark.
      {"Name:", "Nom :", {}},
      {"Name:", "Nom\xA0:", {}},
      {"Wait...", "\xC8" "akajte\x85", {}},
      {"Save.", "Ulo\x9Ei\x9D:", {E("translation ends with \":\", source with \".\"")}},
      {"Open\x85", "Otvori\x9D.", {E("translation ends with \".\", source with \"\x85\"")}},
      {"Name:", "Meno", {E("translation lacks the ending \":\"")}},
      {"Name", "Meno.", {E("translation adds the ending \".\"")}},
      {" Name: ", "Meno: ", {E("translation lacks the leading space")}},
      {"Name", "  Meno  ",
       {E("translation has 2 leading spaces the source lacks"),
        E("translation has 2 trailing spaces the source lacks")}},
      {"  a", " b", {E("translation has 1 leading space, source 2")}},
      // Line-break markers, only where the source has them.
      {"One\\nTwo\\nThree", "Jeden\\nDva Tri", {L("translation has 1 \\n, source 2")}},
      {"a|b|c", "a|b|c|d", {L("translation has 3 |, source 2")}},
      {"Line", "Riadok\\n\xEF" "al\x9A\xED|", {}},
      {"a|b\\nc", "a b c", {L("translation lacks the |"), L("translation lacks the \\n")}},
      // Untranslated rows and empty sources give nothing.
      {"%d &File: ", "%d &File: ", {}},
      {"", "%d &", {}},
      // An empty translation is shown as such, so it lacks all the source has.
      {" &Save %d\\nfiles: ", "",
       {P("translation lacks %d"), A("translation lacks the accelerator &"),
        E("translation lacks the leading space"), E("translation lacks the ending \":\""),
        E("translation lacks the trailing space"), L("translation lacks the \\n")}},
  };
  for (const Case& c : cases) {
    std::vector<Finding> findings;
    CheckTranslation(c.source, c.translation, findings);
    EXPECT_EQ(findings, c.expected) << c.source << " -> " << c.translation;
  }
}

TEST(ChecksTest, AppendsAndStaysLinearOverManyPlaceholders) {
  // Pairing placeholders one against each is quadratic: at this size it
  // would take minutes, not milliseconds.
  std::string source, translation;
  for (int i = 0; i < 100000; ++i) {
    source += "%d";
    translation += i % 2 == 0 ? "%s" : "%d";
  }
  std::vector<Finding> findings{E("kept")};
  CheckTranslation(source, translation, findings);
  ASSERT_EQ(findings.size(), 1u + 100000u);
  EXPECT_EQ(findings[0], E("kept"));
  EXPECT_EQ(findings[1], P("translation lacks %d"));
  EXPECT_EQ(findings[50001], P("translation has an extra %s"));
  EXPECT_EQ(workspace::CheckKindName(CheckKind::LineBreaks), "line-breaks");
}

}  // namespace
