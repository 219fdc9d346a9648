#pragma once

// The reference reader: inih, a respected and simple INI parser, collecting
// what it reads into a list of sections, each a list of "key=value" texts,
// which is as much as an INI document has to hold.

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

struct InihSection {
  std::string name;
  std::vector<std::string> entries;
};

// Every section of `fileName` in order; a section that inih reports again
// after another one starts a new entry of the list. Returns false when inih
// cannot open the file or finds a malformed line.
bool ReadWithInih(const std::string& fileName, std::vector<InihSection>& sections);

std::size_t EntryCount(const std::vector<InihSection>& sections);

}  // namespace bench
