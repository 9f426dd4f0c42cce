// The contract environment of the in-memory registry: a fresh stand-in per
// case, which must end with every key closed.
#pragma once

#include "platform/registry_memory.h"
#include "tests/contract/registry_contract.h"

namespace hs::contract {

class MemoryEnvironment : public RegistryEnvironment {
public:
    MemoryEnvironment() {
        EXPECT_EQ(kErrorSuccess,
                  registry_.CreateKeyEx(kHkeyCurrentUser, "Software\\HivesweepContract", kKeyAllAccess, &base_, nullptr));
    }
    ~MemoryEnvironment() override {
        EXPECT_EQ(kErrorSuccess, registry_.CloseKey(base_));
        // Every case closes every key it opened.
        EXPECT_EQ(0u, registry_.OpenHandleCount());
    }
    Registry& Reg() override { return registry_; }
    RegKey Base() override { return base_; }
    bool IsWine() const override { return false; }

private:
    MemoryRegistry registry_;
    RegKey base_ = 0;
};

} // namespace hs::contract
