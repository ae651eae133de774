#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Registry.h"

/// A registry the test fills with keys and values. It answers as the system does (a key that
/// is missing, refused access, a buffer too small) and records every call with its arguments.
/// Key paths and value names are matched exactly, so a misspelt name finds nothing.
class FakeRegistry final : public Registry {
public:
  struct Value {
    std::uint32_t type = kRegSz;
    std::string bytes;  // the stored data, exactly
  };
  struct OpenCall {
    std::uint32_t root = 0;
    std::string keyPath;
    std::uint32_t options = 0;
    std::uint32_t access = 0;
    std::int32_t result = 0;
    RegistryKey key = 0;  // the handle given out, 0 when refused
  };
  struct QueryCall {
    RegistryKey key = 0;
    std::string valueName;
    std::uint32_t bufferSize = 0;  // the size passed in
    bool bufferZeroed = false;     // whether every byte of the buffer was 0 on the way in
  };

  /// Stores a value, creating its key; the key grants every access until restricted.
  void setValue(std::uint32_t root, const std::string& keyPath, const std::string& name,
                Value value) {
    m_keys[{root, keyPath}].values[name] = std::move(value);
  }
  /// A text value as installers write it: the text and its closing zero byte.
  void setText(std::uint32_t root, const std::string& keyPath, const std::string& name,
               const std::string& text) {
    setValue(root, keyPath, name, {kRegSz, text + std::string(1, '\0')});
  }
  /// A 32-bit number, stored lowest byte first.
  void setNumber(std::uint32_t root, const std::string& keyPath, const std::string& name,
                 std::uint32_t number) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
    setValue(root, keyPath, name, {kRegDword, bytes});
  }
  /// An open that asks for any right outside `granted` is refused with access denied.
  void grantOnly(std::uint32_t root, const std::string& keyPath, std::uint32_t granted) {
    m_keys[{root, keyPath}].granted = granted;
  }

  /// Called first in every call with the call's name ("open", "query", "close"); a test makes it
  /// throw to stand for a registry that cannot be reached at all.
  std::function<void(const std::string& call)> fault;

  std::int32_t openKey(std::uint32_t root, const std::string& keyPath, std::uint32_t options,
                       std::uint32_t access, RegistryKey& key) override {
    if (fault) fault("open");
    OpenCall call{root, keyPath, options, access, kRegistrySuccess, 0};
    const auto found = m_keys.find({root, keyPath});
    if (found == m_keys.end()) {
      call.result = kRegistryNotFound;
    } else if ((access & ~found->second.granted) != 0) {
      call.result = kRegistryAccessDenied;
    } else {
      call.key = m_nextHandle++;
      m_open[call.key] = &found->second;
      key = call.key;
    }
    opens.push_back(call);
    return call.result;
  }

  std::int32_t queryValue(RegistryKey key, const std::string& valueName, std::uint32_t& type,
                          unsigned char* data, std::uint32_t& size) override {
    if (fault) fault("query");
    queries.push_back({key, valueName, size,
                       std::all_of(data, data + size, [](unsigned char c) { return c == 0; })});
    const auto open = m_open.find(key);
    if (open == m_open.end()) return kRegistryInvalidHandle;
    const auto value = open->second->values.find(valueName);
    if (value == open->second->values.end()) return kRegistryNotFound;
    const std::string& bytes = value->second.bytes;
    if (bytes.size() > size) {
      size = static_cast<std::uint32_t>(bytes.size());
      return kRegistryMoreData;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    type = value->second.type;
    size = static_cast<std::uint32_t>(bytes.size());
    return kRegistrySuccess;
  }

  std::int32_t closeKey(RegistryKey key) override {
    if (fault) fault("close");
    closes.push_back(key);
    return m_open.erase(key) == 1 ? kRegistrySuccess : kRegistryInvalidHandle;
  }

  /// Reads the stored bytes as Latin-1, so a test can see that text values are converted.
  std::string toProgramText(const std::string& registryText) const override {
    std::string text;
    for (const char c : registryText) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x80) {
        text += c;
      } else {
        text += static_cast<char>(0xC0 | (byte >> 6));
        text += static_cast<char>(0x80 | (byte & 0x3F));
      }
    }
    return text;
  }

  /// Keys opened and not closed yet.
  std::size_t openKeyCount() const { return m_open.size(); }

  std::vector<OpenCall> opens;
  std::vector<QueryCall> queries;
  std::vector<RegistryKey> closes;

private:
  struct Key {
    std::map<std::string, Value> values;
    std::uint32_t granted = 0xFFFFFFFF;
  };

  std::map<std::pair<std::uint32_t, std::string>, Key> m_keys;
  std::map<RegistryKey, const Key*> m_open;
  RegistryKey m_nextHandle = 0x100;
};
