#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "langfile/NameIndex.h"
#include "platform/CodePage.h"

// An ordered list of 8-bit texts. Reads like a std::vector<std::string>;
// changes go through Add, Put and Clear so that derived lists can keep their
// indexes in step.
class TStringList {
 public:
  using const_iterator = std::vector<std::string>::const_iterator;

  TStringList() = default;
  TStringList(const TStringList&) = default;
  TStringList(TStringList&&) noexcept = default;
  TStringList& operator=(const TStringList&) = default;
  TStringList& operator=(TStringList&&) noexcept = default;
  virtual ~TStringList() = default;

  std::size_t size() const { return texts_.size(); }
  bool empty() const { return texts_.empty(); }
  const std::string& operator[](std::size_t index) const { return texts_[index]; }
  const_iterator begin() const { return texts_.begin(); }
  const_iterator end() const { return texts_.end(); }

  virtual void Add(std::string text) { texts_.push_back(std::move(text)); }
  virtual void Put(std::size_t index, std::string text) { texts_[index] = std::move(text); }
  virtual void Clear() { texts_.clear(); }
  void Reserve(std::size_t count) { texts_.reserve(count); }

 protected:
  std::vector<std::string> texts_;
};

// A TStringList that finds, ignoring letter case, the last text equal to a
// sought one (IndexOf) or the last "name=value" text with a sought name
// (IndexOfName). Letter case is folded with the upper-casing of the code page
// the list was made for.
//
// Both indexes are built on their first use and then kept in step with Add
// and with a Put that keeps the name, so that filling a long section one
// entry at a time stays linear. Only a Put that renames an entry, or Clear,
// throws an index away to be built again when next needed.
class THashedStringList : public TStringList {
 public:
  explicit THashedStringList(const platform::CaseTable& upperCase);

  void Add(std::string text) override;
  void Put(std::size_t index, std::string text) override;
  void Clear() override;

  static constexpr std::ptrdiff_t kNotFound = -1;

  std::ptrdiff_t IndexOf(std::string_view text) const;
  // Position of the last text whose part before its first "=" equals `name`
  // but for letter case. Texts without "=" have no name and never match.
  std::ptrdiff_t IndexOfName(std::string_view name) const;

 private:
  void KeepIndexInStep(langfile::NameIndex& index, std::size_t position,
                       std::string_view oldText);

  mutable langfile::NameIndex textIndex_;
  mutable langfile::NameIndex nameIndex_;
};
