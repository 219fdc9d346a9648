#include "InihReference.h"

#include <ini.h>

#include <cstring>

namespace bench {

namespace {

int OnEntry(void* user, const char* section, const char* name, const char* value) {
  auto& sections = *static_cast<std::vector<InihSection>*>(user);
  if (sections.empty() || sections.back().name != section) sections.push_back({section, {}});
  std::string entry;
  const std::size_t nameLength = std::strlen(name);
  const std::size_t valueLength = std::strlen(value);
  entry.reserve(nameLength + 1 + valueLength);
  entry.append(name, nameLength).append(1, '=').append(value, valueLength);
  sections.back().entries.push_back(std::move(entry));
  return 1;
}

}  // namespace

bool ReadWithInih(const std::string& fileName, std::vector<InihSection>& sections) {
  sections.clear();
  return ini_parse(fileName.c_str(), &OnEntry, &sections) == 0;
}

std::size_t EntryCount(const std::vector<InihSection>& sections) {
  std::size_t count = 0;
  for (const InihSection& section : sections) count += section.entries.size();
  return count;
}

}  // namespace bench
