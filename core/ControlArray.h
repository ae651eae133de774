#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "RuntimeError.h"

/// Controls of one kind that share a name and handlers, addressed by a signed 16-bit index.
/// The array does not own its members; their parent widget does.
template <class Control>
class ControlArray {
public:
  explicit ControlArray(std::string name = {}) : m_name(std::move(name)) {}

  void insert(int16_t index, Control* control) { m_members[index] = control; }

  /// The member at the index; an index with no member raises the missing-element error.
  Control& operator[](int16_t index) const {
    const auto it = m_members.find(index);
    if (it == m_members.end())
      throw RuntimeError(ErrorKind::MissingElement, m_name + "(" + std::to_string(index) + ")");
    return *it->second;
  }

  int16_t count() const { return static_cast<int16_t>(m_members.size()); }
  const std::string& name() const { return m_name; }

  /// Visits every member once, in index order.
  template <class Visit>
  void forEach(Visit&& visit) const {
    for (const auto& [index, control] : m_members) visit(index, *control);
  }

private:
  std::string m_name;
  std::map<int16_t, Control*> m_members;
};
