#include "Registry.h"

// There is no registry here: every key is missing, so no key is ever open and no value read.

std::int32_t SystemRegistry::openKey(std::uint32_t, const std::string&, std::uint32_t,
                                     std::uint32_t, RegistryKey&) {
  return kRegistryNotFound;
}

std::int32_t SystemRegistry::queryValue(RegistryKey, const std::string&, std::uint32_t&,
                                        unsigned char*, std::uint32_t&) {
  return kRegistryInvalidHandle;
}

std::int32_t SystemRegistry::closeKey(RegistryKey) { return kRegistryInvalidHandle; }

std::string SystemRegistry::toProgramText(const std::string& registryText) const {
  return registryText;
}
