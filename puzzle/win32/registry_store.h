// The puzzle's store in the registry, under HKEY_CURRENT_USER.
#pragma once

#include "puzzle/core/store.h"

namespace puzzle {

class RegistryStore final : public Store {
public:
    std::unique_ptr<StoreKey> OpenExisting(std::string_view path) override;
    std::unique_ptr<StoreKey> CreateOrOpen(std::string_view path) override;
};

}  // namespace puzzle
