// Throwaway stand-in until the real checks land.
#include "workspace/Checks.h"

#include <algorithm>

#include "workspace/Spelling.h"

namespace workspace {

std::string_view CheckKindName(CheckKind kind) {
  switch (kind) {
    case CheckKind::Placeholders: return "placeholders";
    case CheckKind::Accelerator: return "accelerator";
    case CheckKind::Edges: return "edges";
    case CheckKind::LineBreaks: return "line-breaks";
    case CheckKind::Spelling: return "spelling";
  }
  return "?";
}

void CheckTranslation(std::string_view source, std::string_view translation,
                      std::vector<Finding>& findings, const Speller* speller) {
  if (source.empty() || source == translation) return;
  for (const char* p : {"%d", "%s"})
    if (source.find(p) != std::string_view::npos && translation.find(p) == std::string_view::npos)
      findings.push_back({CheckKind::Placeholders, std::string("translation lacks ") + p});
  if (source.find('&') != std::string_view::npos && translation.find('&') == std::string_view::npos)
    findings.push_back({CheckKind::Accelerator, "translation lacks the accelerator &"});
  if (speller) speller->Check(source, translation, findings);
}

}  // namespace workspace
